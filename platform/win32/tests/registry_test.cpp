// The registry: sizes and exact bytes, names, keys, enumeration, rights,
// and the hive shared by the processes of one machine.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <win32_testing/temp_machine_dir.h>
#include <windows.h>

namespace {

using Bytes = std::vector<BYTE>;

constexpr const char* kTestKey = "SOFTWARE\\Zavo test";

struct KeyCloser {
    void operator()(HKEY__* key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<HKEY__, KeyCloser>;

Key CreateKey(const char* path, HKEY root = HKEY_LOCAL_MACHINE)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS)
        << path;
    return Key(key);
}

LONG OpenKey(const char* path, Key& out, REGSAM access = KEY_READ, HKEY root = HKEY_LOCAL_MACHINE)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(root, path, 0, access, &key);
    out.reset(key);
    return result;
}

Bytes AsBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The hives kept aside in a machine directory.
std::vector<std::filesystem::path> HivesAside(const std::filesystem::path& directory)
{
    std::vector<std::filesystem::path> aside;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().filename().string().starts_with("registry.hive.corrupt-")) aside.push_back(entry.path());
    return aside;
}

class Registry : public win32_testing::MachineTest {};

struct ValueCase {
    const char* name;
    DWORD type;
    Bytes bytes;
};

class RegistryValue : public win32_testing::MachineTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValue, SizeQueriesAndExactBytes)
{
    const auto& c = GetParam();
    Key key = CreateKey(kTestKey);
    ASSERT_EQ(RegSetValueExA(key.get(), c.name, 0, c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size())),
              ERROR_SUCCESS);
    const auto expected = static_cast<DWORD>(c.bytes.size());

    DWORD type = 0;
    DWORD size = 12345;
    ASSERT_EQ(RegQueryValueExA(key.get(), c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, expected);
    EXPECT_EQ(type, c.type);

    Bytes buffer(expected + 8, 0xEE);
    if (expected > 0) {
        size = expected - 1;
        EXPECT_EQ(RegQueryValueExA(key.get(), c.name, nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
        EXPECT_EQ(size, expected);
        EXPECT_EQ(buffer, Bytes(expected + 8, 0xEE)) << "a refused query writes nothing";
    }
    size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExA(key.get(), c.name, nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, expected);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + size), c.bytes);
    EXPECT_EQ(buffer[size], 0xEE) << "nothing written past the value, no terminator added";
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryValue,
    ::testing::Values(ValueCase{"StringWithoutTerminator", REG_SZ, AsBytes("c:\\zavo\\asiozavowdm.dll")},
                      ValueCase{"StringWithTerminator", REG_SZ, AsBytes(std::string_view("Apartment", 10))},
                      ValueCase{"EmptyString", REG_SZ, {}},
                      ValueCase{"Dword", REG_DWORD, {0x00, 0x02, 0x00, 0x00}},
                      ValueCase{"Binary", REG_BINARY, {0x00, 0xFF, 0x0A, 0x0D, 0x25, 0x22, 0x00}},
                      ValueCase{"MultiString", REG_MULTI_SZ, AsBytes(std::string_view("one\0two\0\0", 9))}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Registry, FreshMachineHasTheKeysOfAnInstallation)
{
    // Registrations open these parents and create below them.
    const std::pair<HKEY, const char*> keys[] = {{HKEY_CLASSES_ROOT, "CLSID"},
                                                 {HKEY_LOCAL_MACHINE, "SOFTWARE"},
                                                 {HKEY_LOCAL_MACHINE, "SYSTEM"},
                                                 {HKEY_CURRENT_USER, "Software"}};
    for (const auto& [root, path] : keys) {
        Key key;
        EXPECT_EQ(OpenKey(path, key, KEY_ALL_ACCESS, root), ERROR_SUCCESS) << path;
    }
    // Nothing is written until a program writes.
    EXPECT_FALSE(std::filesystem::exists(machine().path() / "registry.hive"));
    HKEY server = nullptr;
    Key clsid;
    ASSERT_EQ(OpenKey("CLSID", clsid, KEY_ALL_ACCESS, HKEY_CLASSES_ROOT), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(clsid.get(), "{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &server, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(server);
    EXPECT_NE(ReadFile(machine().path() / "registry.hive").find("[HKEY_CLASSES_ROOT\\CLSID\\{5B2E7C41"),
              std::string::npos);
}

TEST_F(Registry, MissingValuesAndKeysAreNotFound)
{
    Key key = CreateKey(kTestKey);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key.get(), "Nothing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key.get(), "Nothing"), ERROR_FILE_NOT_FOUND);
    Key missing;
    EXPECT_EQ(OpenKey("SOFTWARE\\Zavo test\\Nothing", missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.get(), nullptr);
    EXPECT_EQ(RegQueryValueExA(reinterpret_cast<HKEY>(0x7F0), "x", nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
}

TEST_F(Registry, WideCallsSeeTheSameStrings)
{
    Key key = CreateKey(kTestKey);
    const std::u16string wide = u"\\\\?\\pci#ven_1057";
    ASSERT_EQ(RegSetValueExW(key.get(), u"SymbolicLink", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.data()),
                             static_cast<DWORD>(wide.size() * 2)),
              ERROR_SUCCESS);
    Bytes buffer(64);
    DWORD size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExW(key.get(), u"symboliclink", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), size / 2), wide);
    // A buffer one byte short: the size needed and nothing written.
    Bytes small(wide.size() * 2 - 1, 0xEE);
    size = static_cast<DWORD>(small.size());
    EXPECT_EQ(RegQueryValueExW(key.get(), u"SymbolicLink", nullptr, nullptr, small.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, wide.size() * 2);
    EXPECT_EQ(small, Bytes(wide.size() * 2 - 1, 0xEE));
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExA(key.get(), "SymbolicLink", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), size), "\\\\?\\pci#ven_1057");

    ASSERT_EQ(RegSetValueExA(key.get(), "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2), ERROR_SUCCESS);
    size = 0;
    ASSERT_EQ(RegQueryValueExW(key.get(), u"Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);

    // Beyond ASCII: a pair becomes one four-byte character, a lone surrogate '?',
    // and a byte that is not UTF-8 becomes U+FFFD on the way back.
    const std::u16string text = u"\u00FC\u20AC\U0001D11E" + std::u16string(1, u'\xD800') + u"x";
    ASSERT_EQ(RegSetValueExW(key.get(), u"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size() * 2)),
              ERROR_SUCCESS);
    size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExA(key.get(), "Text", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), size),
              "\xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E?x");
    ASSERT_EQ(RegSetValueExA(key.get(), "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\xFF\xC3"), 3),
              ERROR_SUCCESS);
    size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), size / 2), u"a\uFFFD\uFFFD");
}

TEST_F(Registry, NamesCompareIgnoringCaseAndKeepTheirSpelling)
{
    Key created = CreateKey("SOFTWARE\\ASIO\\ASIO Zavo PCI");
    Key opened;
    ASSERT_EQ(OpenKey("software\\asio\\asio ZAVO pci", opened), ERROR_SUCCESS);
    HKEY again = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\asio\\Asio zavo pci", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(again);

    const DWORD first = 1, second = 2;
    ASSERT_EQ(RegSetValueExA(created.get(), "Buffer Size", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&first), 4),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(created.get(), "BUFFER SIZE", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&second), 4),
              ERROR_SUCCESS);
    Key writable;
    ASSERT_EQ(OpenKey("SOFTWARE\\ASIO\\ASIO Zavo PCI", writable, KEY_ALL_ACCESS), ERROR_SUCCESS);
    char name[64];
    DWORD nameSize = sizeof name;
    DWORD value = 0, valueSize = 4;
    ASSERT_EQ(RegEnumValueA(opened.get(), 0, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                            &valueSize),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "Buffer Size");
    EXPECT_EQ(value, second);
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValueA(opened.get(), 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    Key asio;
    ASSERT_EQ(OpenKey("SOFTWARE\\ASIO", asio), ERROR_SUCCESS);
    ASSERT_EQ(RegEnumKeyA(asio.get(), 0, name, sizeof name), ERROR_SUCCESS);
    EXPECT_STREQ(name, "ASIO Zavo PCI");
}

TEST_F(Registry, EnumerationEndsWithNoMoreItems)
{
    for (const char* path : {"SOFTWARE\\Zavo test\\beta", "SOFTWARE\\Zavo test\\Alpha", "SOFTWARE\\Zavo test\\Gamma"})
        CreateKey(path);
    Key parent;
    ASSERT_EQ(OpenKey(kTestKey, parent), ERROR_SUCCESS);
    std::vector<std::string> names;
    char name[360];
    DWORD index = 0;
    LONG result = ERROR_SUCCESS;
    while ((result = RegEnumKeyA(parent.get(), index, name, sizeof name)) == ERROR_SUCCESS) {
        names.emplace_back(name);
        ++index;
    }
    EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
    char small[4];
    EXPECT_EQ(RegEnumKeyA(parent.get(), 0, small, sizeof small), ERROR_MORE_DATA);
    DWORD subKeys = 0, longest = 0, values = 7;
    ASSERT_EQ(RegQueryInfoKeyA(parent.get(), nullptr, nullptr, nullptr, &subKeys, &longest, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 3u);
    EXPECT_EQ(longest, 5u);
    EXPECT_EQ(values, 0u);
}

TEST_F(Registry, DeleteRefusesKeysWithSubkeys)
{
    CreateKey("SOFTWARE\\Zavo test\\Parent\\Child");
    Key parent;
    ASSERT_EQ(OpenKey("SOFTWARE\\Zavo test\\Parent", parent), ERROR_SUCCESS);
    Key test = CreateKey(kTestKey);
    EXPECT_EQ(RegDeleteKeyA(test.get(), "Parent"), ERROR_ACCESS_DENIED);
    Key stillThere;
    EXPECT_EQ(OpenKey("SOFTWARE\\Zavo test\\Parent\\Child", stillThere), ERROR_SUCCESS);
    // Bottom up, as a tree is deleted.
    EXPECT_EQ(RegDeleteKeyA(test.get(), "Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(test.get(), "Parent"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(test.get(), "Parent"), ERROR_FILE_NOT_FOUND);
    Key gone;
    EXPECT_EQ(OpenKey("SOFTWARE\\Zavo test\\Parent", gone), ERROR_FILE_NOT_FOUND);
    // A handle to a deleted key answers so.
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(parent.get(), "", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
}

TEST_F(Registry, RightsOfTheOpenKeyAreChecked)
{
    CreateKey(kTestKey);
    Key readOnly;
    ASSERT_EQ(OpenKey(kTestKey, readOnly, KEY_READ), ERROR_SUCCESS);
    const DWORD number = 5;
    EXPECT_EQ(RegSetValueExA(readOnly.get(), "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(readOnly.get(), "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_ACCESS_DENIED);
    Key writeOnly;
    ASSERT_EQ(OpenKey(kTestKey, writeOnly, KEY_SET_VALUE), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(writeOnly.get(), "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_SUCCESS);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(writeOnly.get(), "x", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(writeOnly.release()), ERROR_SUCCESS);
}

// Runs the helper process on this test's machine; its stdout and exit code.
struct HelperRun {
    std::FILE* pipe;
    std::string Finish(int& exitCode)
    {
        std::string out;
        char buffer[256];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, got);
        const int status = ::pclose(pipe);
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return out;
    }
};

// `withReports`: what the helper says on stderr comes after its stdout.
HelperRun StartHelper(const std::vector<std::string>& arguments, bool withReports = false)
{
    std::string command = "'" ZAVO_REGISTRY_HELPER_PATH "'";
    for (const auto& argument : arguments) command += " '" + argument + "'";
    if (withReports) command += " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    return {pipe};
}

std::string RunHelper(const std::vector<std::string>& arguments, int& exitCode, bool withReports = false)
{
    return StartHelper(arguments, withReports).Finish(exitCode);
}

TEST_F(Registry, PersistsAcrossProcesses)
{
    Key server = CreateKey("CLSID\\{0D3E1A52-7C41-4B8E-9A2F-5C6D7E8F9012}\\InprocServer32", HKEY_CLASSES_ROOT);
    const std::string path = "c:\\zavo\\asiozavowdm.dll";
    ASSERT_EQ(RegSetValueExA(server.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                             static_cast<DWORD>(path.size())),
              ERROR_SUCCESS);
    // The helper reads below HKEY_LOCAL_MACHINE; this process writes there too.
    Key settings = CreateKey("SOFTWARE\\ASIO\\ASIO Zavo PCI");
    ASSERT_EQ(RegSetValueExA(settings.get(), "CLSID", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                             static_cast<DWORD>(path.size())),
              ERROR_SUCCESS);
    int exitCode = -1;
    EXPECT_EQ(RunHelper({"read", "software\\asio\\asio zavo pci", "clsid"}, exitCode), path);
    EXPECT_EQ(exitCode, 0);

    // And back: a change made by the other process is seen here.
    RunHelper({"set", "SOFTWARE\\ASIO\\ASIO Zavo PCI", "Description", "ASIO Zavo PCI"}, exitCode);
    ASSERT_EQ(exitCode, 0);
    char text[64] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(settings.get(), "Description", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(text, size), "ASIO Zavo PCI");
    // The CLSID key of this process survived the other's save.
    size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(server.get(), "", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);

    const std::string hive = ReadFile(machine().path() / "registry.hive");
    EXPECT_TRUE(hive.starts_with("zavo-hive 1\n"));
    EXPECT_NE(hive.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\ASIO Zavo PCI]"), std::string::npos);
}

TEST_F(Registry, ConcurrentWritersLoseNothing)
{
    constexpr int kCount = 40;
    HelperRun first = StartHelper({"write", "A", std::to_string(kCount)});
    HelperRun second = StartHelper({"write", "B", std::to_string(kCount)});
    // This process writes meanwhile too.
    const DWORD mine = 7;
    for (int i = 0; i < kCount; ++i) {
        Key key = CreateKey(("SOFTWARE\\Zavo test\\C" + std::to_string(i)).c_str());
        ASSERT_EQ(RegSetValueExA(key.get(), "Index", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mine), 4),
                  ERROR_SUCCESS);
    }
    int exitCode = -1;
    first.Finish(exitCode);
    EXPECT_EQ(exitCode, 0);
    second.Finish(exitCode);
    EXPECT_EQ(exitCode, 0);

    Key test;
    ASSERT_EQ(OpenKey(kTestKey, test), ERROR_SUCCESS);
    DWORD subKeys = 0;
    ASSERT_EQ(RegQueryInfoKeyA(test.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 3u * kCount + 1);  // A*, B*, C* and Shared
    Key shared;
    ASSERT_EQ(OpenKey("SOFTWARE\\Zavo test\\Shared", shared), ERROR_SUCCESS);
    for (const char* prefix : {"A", "B"})
        for (int i = 0; i < kCount; ++i) {
            DWORD value = 0, size = 4;
            const std::string name = prefix + std::to_string(i);
            EXPECT_EQ(RegQueryValueExA(shared.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                       &size),
                      ERROR_SUCCESS)
                << name;
            EXPECT_EQ(value, static_cast<DWORD>(i));
        }
}

TEST_F(Registry, UnreadableHiveIsMovedAsideAndReported)
{
    const auto hive = machine().path() / "registry.hive";
    const std::string garbage = "zavo-hive 1\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\nthis is not a value\n";
    std::ofstream(hive, std::ios::binary) << garbage;

    ::testing::internal::CaptureStderr();
    Key key;
    EXPECT_EQ(OpenKey("SOFTWARE", key), ERROR_FILE_NOT_FOUND);
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("cannot be read (line 3"), std::string::npos) << report;
    EXPECT_NE(report.find("moved aside"), std::string::npos) << report;

    std::vector<std::filesystem::path> aside;
    for (const auto& entry : std::filesystem::directory_iterator(machine().path()))
        if (entry.path().filename().string().starts_with("registry.hive.corrupt-")) aside.push_back(entry.path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFile(aside.front()), garbage);

    // The registry goes on empty and saves a good hive of its own.
    CreateKey(kTestKey);
    EXPECT_TRUE(ReadFile(hive).starts_with("zavo-hive 1\n"));
    Key reopened;
    EXPECT_EQ(OpenKey(kTestKey, reopened), ERROR_SUCCESS);
}

struct Damage {
    std::string what;
    std::string text;
    std::string reason;
};

// Every way the tests damage a hive: cut at each line boundary and in the
// middle of each line, each line removed and each doubled, one bit flipped
// where no parser would notice, text appended after the end.
std::vector<Damage> DamagesOf(const std::string& hive)
{
    std::vector<std::size_t> starts;  // of every line, and the end of the text
    for (std::size_t at = 0; at < hive.size(); at = hive.find('\n', at) + 1) starts.push_back(at);
    starts.push_back(hive.size());
    const std::size_t lines = starts.size() - 1;

    std::vector<Damage> damages;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::size_t start = starts[i], next = starts[i + 1];
        const std::string line = hive.substr(start, next - start);
        const bool last = i + 1 == lines;
        damages.push_back({"cut before line " + std::to_string(i + 1), hive.substr(0, start),
                           start == 0 ? "line 1: an empty file" : "cut short"});
        damages.push_back({"cut in the middle of line " + std::to_string(i + 1),
                           hive.substr(0, start + (next - start) / 2), "cut short"});
        damages.push_back({"line " + std::to_string(i + 1) + " removed", hive.substr(0, start) + hive.substr(next),
                           last ? "cut short" : "changed after it was written"});
        damages.push_back({"line " + std::to_string(i + 1) + " doubled",
                           hive.substr(0, next) + line + hive.substr(next),
                           last ? "text after its end" : "changed after it was written"});
    }
    const auto flipped = [&](const std::string& what, std::string_view marker, std::size_t offset, char bit) {
        const std::size_t at = hive.find(marker);
        EXPECT_NE(at, std::string::npos) << marker;
        std::string text = hive;
        text[at + offset] = static_cast<char>(text[at + offset] ^ bit);
        return Damage{what, text, "changed after it was written"};
    };
    // Names compare ignoring case, a hex digit stays a hex digit, and the text
    // after ';' is not read: only the checksum sees these.
    damages.push_back(flipped("a key name's case flipped", "\\Zavo test]", 1, 0x20));
    damages.push_back(flipped("a bit of a value's hex flipped", "hex:2a000000", 4, 0x01));
    damages.push_back(flipped("a letter after ';' flipped", "; \"ASIO", 3, 0x20));
    damages.push_back({"text after the end", hive + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\More]\n", "text after its end"});
    return damages;
}

TEST_F(Registry, DamagedHiveIsMovedAsideUntouchedAndNeverSavedOver)
{
    Key key = CreateKey(kTestKey);
    const DWORD number = 42;
    ASSERT_EQ(RegSetValueExA(key.get(), "Buffer size", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_SUCCESS);
    const std::string name = "ASIO Zavo PCI";
    ASSERT_EQ(RegSetValueExA(key.get(), "Description", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.data()),
                             static_cast<DWORD>(name.size())),
              ERROR_SUCCESS);
    const auto hivePath = machine().path() / "registry.hive";
    const std::string hive = ReadFile(hivePath);

    for (const Damage& damage : DamagesOf(hive)) {
        SCOPED_TRACE(damage.what);
        WriteFile(hivePath, damage.text);
        // A fresh process writes: it finds the damage first.
        int exitCode = -1;
        const std::string report = RunHelper({"set", "SOFTWARE\\After", "Value", "new"}, exitCode, true);
        EXPECT_EQ(exitCode, 0);
        EXPECT_NE(report.find("cannot be read (" + damage.reason + "); it was moved aside"), std::string::npos)
            << report;
        const auto aside = HivesAside(machine().path());
        EXPECT_EQ(aside.size(), 1u);
        if (aside.size() == 1) {
            EXPECT_EQ(ReadFile(aside.front()), damage.text);
        }
        for (const auto& path : aside) std::filesystem::remove(path);

        // The next process finds the new hive sound and holds only the new write.
        EXPECT_EQ(RunHelper({"read", "SOFTWARE\\After", "Value"}, exitCode, true), "new");
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(ReadFile(hivePath).find("Zavo test"), std::string::npos);
    }
}

TEST_F(Registry, HiveOfAnEarlierBuildIsReadAndGainsItsClosingLineAtTheNextSave)
{
    const auto hivePath = machine().path() / "registry.hive";
    const std::string earlier =
        "zavo-hive 1\n"
        "# The registry of the simulated machine. Value bytes are in hex; the text after ';' only shows them.\n"
        "[HKEY_LOCAL_MACHINE]\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zavo test]\n"
        "written 134097264000000000\n"
        "\"Description\" = REG_SZ ansi hex:5a61766f ; \"Zavo\"\n";
    WriteFile(hivePath, earlier);

    int exitCode = -1;
    EXPECT_EQ(RunHelper({"read", kTestKey, "Description"}, exitCode, true), "Zavo");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(ReadFile(hivePath), earlier) << "reading saves nothing";

    EXPECT_EQ(RunHelper({"set", kTestKey, "Name", "new"}, exitCode, true), "") << "an earlier hive is no damage";
    ASSERT_EQ(exitCode, 0);
    const std::string saved = ReadFile(hivePath);
    EXPECT_TRUE(saved.starts_with("zavo-hive 1\nchecksum crc32\n")) << saved;
    const std::size_t closing = saved.rfind("\nend ") + 1;
    const std::string expectedStart = "end " + std::to_string(closing) + " crc32 ";
    EXPECT_EQ(saved.substr(closing, expectedStart.size()), expectedStart) << saved;
    EXPECT_EQ(saved.size(), closing + expectedStart.size() + 8 + 1) << saved;
    EXPECT_TRUE(saved.ends_with('\n'));
    // Both values are read back in the next process, and nothing is reported.
    EXPECT_EQ(RunHelper({"read", kTestKey, "Description"}, exitCode, true), "Zavo");
    EXPECT_EQ(RunHelper({"read", kTestKey, "Name"}, exitCode, true), "new");
    EXPECT_TRUE(HivesAside(machine().path()).empty());
}

}  // namespace
