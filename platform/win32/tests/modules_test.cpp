// The loader over the test module TestModule.dll, whose DllMain logs its
// calls to ZAVO_TEST_MODULE_LOG.
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

const std::string kModulePath = ZAVO_TEST_MODULE_PATH;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// An export as the function it is.
template <class Function>
Function ExportAs(FARPROC proc)
{
    return reinterpret_cast<Function>(proc);
}

class ModulesTest : public ::testing::Test {
protected:
    ModulesTest()
    {
        ::unsetenv("ZAVO_TEST_MODULE_LOG");
        ::unsetenv("ZAVO_TEST_MODULE_REFUSE");
    }
    ~ModulesTest() override { ::unsetenv("ZAVO_TEST_MODULE_REFUSE"); }

    static std::string Log()
    {
        const char* log = std::getenv("ZAVO_TEST_MODULE_LOG");
        return log != nullptr ? log : "";
    }
};

TEST_F(ModulesTest, LoadCallsAttachOnceAndLastFreeCallsDetach)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    EXPECT_EQ(Log(), "attach ");
    EXPECT_EQ(LoadLibraryA(kModulePath.c_str()), module);  // counted, no second attach
    EXPECT_EQ(LoadLibraryA("TestModule.dll"), module);      // a loaded module by its name
    EXPECT_EQ(Log(), "attach ");

    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(Log(), "attach ");
    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(Log(), "attach detach ");
    EXPECT_EQ(FreeLibrary(module), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulesTest, RefusedAttachUnloadsWithoutDetach)
{
    ::setenv("ZAVO_TEST_MODULE_REFUSE", "1", 1);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(kModulePath.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_DLL_INIT_FAILED);
    EXPECT_EQ(Log(), "attach ");
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), nullptr);

    ::unsetenv("ZAVO_TEST_MODULE_REFUSE");
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Log(), "attach attach ");  // a fresh load attaches again
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST_F(ModulesTest, GetProcAddressFindsOnlyTheModulesOwnExports)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    auto add = ExportAs<int (*)(int, int)>(GetProcAddress(module, "TestModuleAdd"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_NE(GetProcAddress(module, "DllMain"), nullptr);

    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    // malloc is there through the module's libraries, but is not its export.
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr);
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(std::uintptr_t{1})), nullptr);  // an ordinal
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST_F(ModulesTest, ModuleSharesTheProcesssHandles)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    auto setEvent = ExportAs<BOOL (*)(HANDLE)>(GetProcAddress(module, "TestModuleSetEvent"));
    ASSERT_NE(setEvent, nullptr);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(setEvent(event), TRUE);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST_F(ModulesTest, ModuleFindsItselfByNameWhateverLoadedIt)
{
    // Loaded by a full path with backslashes ...
    std::string windowsPath = kModulePath;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    HMODULE module = LoadLibraryA(windowsPath.c_str());
    ASSERT_NE(module, nullptr);
    auto ownHandle = ExportAs<HMODULE (*)()>(GetProcAddress(module, "TestModuleOwnHandle"));
    ASSERT_NE(ownHandle, nullptr);
    EXPECT_EQ(ownHandle(), module);
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), module);
    EXPECT_EQ(GetModuleHandleA("testmodule.DLL"), module);
    EXPECT_EQ(GetModuleHandleA(windowsPath.c_str()), module);
    EXPECT_EQ(GetModuleHandleA(Lower(kModulePath).c_str()), module);
    EXPECT_EQ(FreeLibrary(module), TRUE);

    // ... or by the host without this loader at all.
    void* handle = dlopen(kModulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto selfLookup = reinterpret_cast<HMODULE (*)()>(dlsym(handle, "TestModuleOwnHandle"));
    ASSERT_NE(selfLookup, nullptr);
    HMODULE found = selfLookup();
    EXPECT_NE(found, nullptr);
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), found);
    EXPECT_NE(GetProcAddress(found, "TestModuleAdd"), nullptr);
    dlclose(handle);
}

TEST_F(ModulesTest, LoadsARegisteredLowerCasePath)
{
    // A server path stored lower-case, as the registration writes it.
    HMODULE module = LoadLibraryA(Lower(kModulePath).c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), module);
    EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST_F(ModulesTest, MissingModulesFail)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("/nonexistent/NoModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryA("NoModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(GetModuleHandleA("NoModule.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(Log(), "");
}

TEST_F(ModulesTest, FileNamesAreFullPaths)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    char name[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    EXPECT_EQ(std::string(name), std::filesystem::path(kModulePath).lexically_normal().string());
    EXPECT_EQ(length, std::strlen(name));

    // Too small: truncated, terminated, the buffer's size back.
    char small[8];
    EXPECT_EQ(GetModuleFileNameA(module, small, sizeof small), sizeof small);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small), std::string(name).substr(0, 7));
    EXPECT_EQ(FreeLibrary(module), TRUE);

    // NULL: the program itself.
    ASSERT_GT(GetModuleFileNameA(nullptr, name, MAX_PATH), 0u);
    EXPECT_EQ(std::filesystem::path(name), std::filesystem::read_symlink("/proc/self/exe"));
    EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(std::filesystem::path(name).filename().c_str()));
}

}  // namespace

namespace {

TEST_F(ModulesTest, PinnedModuleStaysMappedAfterItsDetach)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    auto add = ExportAs<int (*)(int, int)>(GetProcAddress(module, "TestModuleAdd"));
    ASSERT_NE(add, nullptr);
    HMODULE pinned = nullptr;
    ASSERT_EQ(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "testmodule.dll", &pinned), TRUE);
    EXPECT_EQ(pinned, module);

    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(Log(), "attach detach ");  // the detach still runs
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), module);
    EXPECT_EQ(add(20, 22), 42);  // its code is still there
    EXPECT_EQ(FreeLibrary(module), FALSE);  // and the loader's reference is gone
}

TEST_F(ModulesTest, UnpinnedModuleIsUnmappedByItsLastFree)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), nullptr);
}

TEST_F(ModulesTest, PinningFailsForMissingModulesAndOtherFlags)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    struct Case {
        DWORD flags;
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{GET_MODULE_HANDLE_EX_FLAG_PIN, "NoModule.dll", ERROR_MOD_NOT_FOUND},
                          Case{0, "TestModule.dll", ERROR_INVALID_PARAMETER},
                          Case{GET_MODULE_HANDLE_EX_FLAG_PIN | 2, "TestModule.dll", ERROR_INVALID_PARAMETER}}) {
        HMODULE found = module;
        SetLastError(0);
        EXPECT_EQ(GetModuleHandleExA(c.flags, c.name, &found), FALSE) << c.name << " " << c.flags;
        EXPECT_EQ(found, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "TestModule.dll", nullptr), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(FreeLibrary(module), TRUE);
    EXPECT_EQ(GetModuleHandleA("TestModule.dll"), nullptr);  // nothing was pinned
}

}  // namespace
