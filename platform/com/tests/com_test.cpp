// GUID text, the task allocator and its seam, apartments, and the failures
// of CoCreateInstance that come before any server code runs. Creation through
// a real server is tested with the ASIO driver.
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <objbase.h>

#include "win32_testing/temp_machine_dir.h"

namespace {

constexpr CLSID kClass = {0x5B2E7C41, 0x93AD, 0x4F06, {0x8E, 0x1B, 0x2C, 0x7D, 0x90, 0xA4, 0xF3, 0x56}};

std::u16string Text(REFCLSID clsid)
{
    LPOLESTR text = nullptr;
    EXPECT_EQ(StringFromCLSID(clsid, &text), S_OK);
    std::u16string result = text != nullptr ? text : u"";
    CoTaskMemFree(text);
    return result;
}

TEST(GuidText, UpperCaseInBracesAndBack)
{
    struct Case {
        CLSID clsid;
        const char16_t* text;
    };
    const Case cases[] = {
        {kClass, u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}"},
        {IID_IUnknown, u"{00000000-0000-0000-C000-000000000046}"},
        {IID_IClassFactory, u"{00000001-0000-0000-C000-000000000046}"},
        {{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
         u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
        {{0x01020304, 0x0506, 0x0708, {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10}},
         u"{01020304-0506-0708-090A-0B0C0D0E0F10}"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(c.clsid), c.text);
        CLSID back{};
        EXPECT_EQ(CLSIDFromString(c.text, &back), NOERROR) << std::string(c.text, c.text + 38);
        EXPECT_TRUE(IsEqualCLSID(back, c.clsid));
    }
    CLSID lower{};
    EXPECT_EQ(CLSIDFromString(u"{5b2e7c41-93ad-4f06-8e1b-2c7d90a4f356}", &lower), NOERROR);
    EXPECT_TRUE(lower == kClass);
}

TEST(GuidText, TextThatIsNoClassIdentifier)
{
    const char16_t* texts[] = {
        u"",
        u"5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356",
        u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356",
        u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}}",
        u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F35}",
        u"{5B2E7C41093AD-4F06-8E1B-2C7D90A4F356}",
        u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F35G}",
        u"{ 5B2E7C41-93AD-4F06-8E1B-2C7D90A4F35}",
        u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356 }",
    };
    for (const char16_t* text : texts) {
        CLSID clsid = kClass;
        EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING) << std::u16string(text).size();
        EXPECT_TRUE(clsid == GUID{});
    }
    CLSID clsid = kClass;
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromString(u"{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}", nullptr), E_INVALIDARG);
    EXPECT_EQ(StringFromCLSID(kClass, nullptr), E_INVALIDARG);
}

TEST(TaskMemory, RefusesTheNextAllocationsItIsToldTo)
{
    com_testing::FailNextCoTaskMemAlloc(2);
    EXPECT_EQ(CoTaskMemAlloc(16), nullptr);
    LPOLESTR text = reinterpret_cast<LPOLESTR>(&text);
    EXPECT_EQ(StringFromCLSID(kClass, &text), E_OUTOFMEMORY);
    EXPECT_EQ(text, nullptr);
    void* memory = CoTaskMemAlloc(16);
    EXPECT_NE(memory, nullptr);
    CoTaskMemFree(memory);

    com_testing::FailNextCoTaskMemAlloc(5);
    com_testing::FailNextCoTaskMemAlloc(0);
    memory = CoTaskMemAlloc(0);
    EXPECT_NE(memory, nullptr);
    CoTaskMemFree(memory);
    CoTaskMemFree(nullptr);
}

TEST(Apartment, EachThreadJoinsOnce)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    HRESULT other = E_FAIL;
    std::thread([&] {
        other = CoInitialize(nullptr);
        CoUninitialize();
    }).join();
    EXPECT_EQ(other, S_OK);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

class Servers : public win32_testing::MachineTest {
protected:
    // Registers kClass with `path` as its server, as a registration would.
    static void RegisterServerPath(const std::string& path)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}\\InprocServer32",
                                  0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                                 static_cast<DWORD>(path.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(Servers, CreationFailsBeforeAnyServerCodeRuns)
{
    IUnknown* object = reinterpret_cast<IUnknown*>(&object);
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<LPVOID*>(&object)),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);

    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    struct Case {
        const char* serverPath;  // null: not registered
        DWORD context;
        HRESULT result;
    };
    const Case cases[] = {
        {nullptr, CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"", CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"/nowhere/Missing.dll", 0, REGDB_E_CLASSNOTREG},
        {"/nowhere/Missing.dll", CLSCTX_INPROC_SERVER, CO_E_DLLNOTFOUND},
        {ZAVO_TEST_MODULE_PATH, CLSCTX_INPROC_SERVER, CO_E_ERRORINDLL},  // a library with no DllGetClassObject
    };
    for (const Case& c : cases) {
        if (c.serverPath != nullptr) RegisterServerPath(c.serverPath);
        object = reinterpret_cast<IUnknown*>(&object);
        EXPECT_EQ(CoCreateInstance(kClass, nullptr, c.context, IID_IUnknown, reinterpret_cast<LPVOID*>(&object)),
                  c.result)
            << (c.serverPath ? c.serverPath : "(none)");
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);

    // A library that cannot say it may go (no DllCanUnloadNow) stays, as on Windows.
    EXPECT_NE(GetModuleHandleA("TestModule.dll"), nullptr);
    CoFreeUnusedLibraries();
    EXPECT_NE(GetModuleHandleA("TestModule.dll"), nullptr);
    CoUninitialize();
}

}  // namespace
