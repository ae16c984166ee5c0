// A second process on the same simulated machine, for the registry tests.
//   registry_helper write <prefix> <count>   keys <prefix><i> under the test
//       key, each with a value, and values <prefix><i> in its "Shared" key
//   registry_helper read <key> <value>       the value's bytes on stdout
//   registry_helper set <key> <value> <text> a REG_SZ without terminator
// Keys are below HKEY_LOCAL_MACHINE. Exit 0 on success, else the error code.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

namespace {

constexpr const char* kTestKey = "SOFTWARE\\Zavo test";

LONG SetDword(const std::string& keyPath, const std::string& name, DWORD number)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    return result;
}

int Write(const std::string& prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        if (LONG r = SetDword(std::string(kTestKey) + "\\" + name, "Index", static_cast<DWORD>(i))) return r;
        if (LONG r = SetDword(std::string(kTestKey) + "\\Shared", name, static_cast<DWORD>(i))) return r;
    }
    return 0;
}

int Read(const char* keyPath, const char* valueName)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD size = 0;
    result = RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size);
    std::vector<BYTE> bytes(size);
    if (result == ERROR_SUCCESS) result = RegQueryValueExA(key, valueName, nullptr, nullptr, bytes.data(), &size);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS) std::fwrite(bytes.data(), 1, size, stdout);
    return result;
}

int Set(const char* keyPath, const char* valueName, const char* text)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(std::strlen(text)));
    RegCloseKey(key);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) return Write(argv[2], std::atoi(argv[3]));
    if (command == "read" && argc == 4) return Read(argv[2], argv[3]);
    if (command == "set" && argc == 5) return Set(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: registry_helper write|read|set ...\n");
    return 100;
}
