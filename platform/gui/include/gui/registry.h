// The registry as the component library presents it: one open key at a
// time under a root key, typed reads and writes that raise on failure.
//
//     TRegistry reg;                                   // HKEY_CURRENT_USER
//     if (reg.OpenKey("Software\\Zavo Systems\\Korvane3\\Card", false))
//         left = reg.ReadInteger("Left");              // ERegistryException when missing
#pragma once

#include "gui/sysutils.h"
#include "gui/types.h"

#include <win32/registry.h>

#include <string>
#include <string_view>

class ERegistryException : public Exception {
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    // The access the keys are opened with.
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    // Closes the open key.
    void SetRootKey(HKEY key);
    HKEY CurrentKey() const { return currentKey_; }
    const std::string& CurrentPath() const { return currentPath_; }
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }

    // A path with a leading '\' starts at the root key, one without it at
    // the open key (the root when none is open). canCreate: the missing keys
    // are made. False (the open key kept) when it cannot be opened.
    bool OpenKey(std::string_view key, bool canCreate);
    // As OpenKey without creating, with read access only.
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey();

    // A REG_DWORD value; missing or of another type raises.
    int ReadInteger(std::string_view name);
    // A REG_SZ (or REG_EXPAND_SZ) value up to its first NUL; missing is "",
    // another type raises.
    std::string ReadString(std::string_view name);
    // A REG_BINARY value into `buffer`; its size. Missing: 0, the buffer
    // untouched. Another type, or more than bufSize bytes, raises before
    // anything is copied; a smaller value copies only its own bytes.
    int ReadBinaryData(std::string_view name, void* buffer, int bufSize);

    // Every failed write raises.
    void WriteInteger(std::string_view name, int value);
    void WriteString(std::string_view name, std::string_view value);
    void WriteBinaryData(std::string_view name, const void* buffer, int bufSize);

private:
    void Write(std::string_view name, DWORD type, const void* data, DWORD size);
    HKEY rootKey_ = HKEY_CURRENT_USER;
    HKEY currentKey_ = nullptr;
    std::string currentPath_;
    REGSAM access_;
};
