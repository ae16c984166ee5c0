// The process-wide table of declared version blocks. A block is laid out as
// the platform lays out a version resource: the VS_VERSIONINFO header (its
// length, the length of its value, a type and the key "VS_VERSION_INFO" in
// UTF-16), padded to 32 bits, then the fixed file information.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "win32/errors.h"
#include "win32/version_info.h"

namespace {

constexpr char16_t kKey[] = u"VS_VERSION_INFO";

struct VersionBlock {
    WORD wLength;
    WORD wValueLength;
    WORD wType;  // 0: binary value
    WCHAR szKey[16];
    WORD padding;
    VS_FIXEDFILEINFO Value;
};
static_assert(sizeof(VersionBlock) == 92);
static_assert(offsetof(VersionBlock, szKey) == 6);
static_assert(offsetof(VersionBlock, Value) == 40);
static_assert(sizeof(kKey) == sizeof(VersionBlock::szKey));

// A name as the table keys it: its file-name part, upper case.
std::string Key(std::string_view name)
{
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

struct Table {
    std::mutex lock;
    std::map<std::string, VersionBlock> blocks;
};

Table& Blocks()
{
    static Table table;
    return table;
}

bool Find(LPCSTR fileName, VersionBlock& block)
{
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    Table& table = Blocks();
    std::lock_guard guard(table.lock);
    const auto it = table.blocks.find(Key(fileName));
    if (it == table.blocks.end()) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return false;
    }
    block = it->second;
    return true;
}

}  // namespace

namespace win32 {

void RegisterModuleVersion(std::string_view fileName, const VS_FIXEDFILEINFO& info)
{
    VersionBlock block{};
    block.wLength = sizeof(VersionBlock);
    block.wValueLength = sizeof(VS_FIXEDFILEINFO);
    std::copy(std::begin(kKey), std::end(kKey), block.szKey);
    block.Value = info;
    Table& table = Blocks();
    std::lock_guard guard(table.lock);
    table.blocks.insert_or_assign(Key(fileName), block);
}

void UnregisterModuleVersion(std::string_view fileName)
{
    Table& table = Blocks();
    std::lock_guard guard(table.lock);
    table.blocks.erase(Key(fileName));
}

}  // namespace win32

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle)
{
    if (handle != nullptr) *handle = 0;
    VersionBlock block{};
    return Find(fileName, block) ? block.wLength : 0;
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD /*handle*/, DWORD size, LPVOID data)
{
    VersionBlock block{};
    if (!Find(fileName, block)) return FALSE;
    if (data == nullptr || size < block.wLength) {
        SetLastError(data == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(data, &block, block.wLength);
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length)
{
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) return FALSE;
    VersionBlock header{};
    std::memcpy(&header, block, offsetof(VersionBlock, Value));
    const bool versionBlock = header.wLength >= sizeof(VersionBlock) && header.wValueLength == sizeof(VS_FIXEDFILEINFO) &&
                              std::equal(std::begin(kKey), std::end(kKey), header.szKey);
    if (!versionBlock || std::strcmp(subBlock, "\\") != 0) return FALSE;
    // Inside the caller's copy of the block, as the platform answers.
    *buffer = const_cast<BYTE*>(static_cast<const BYTE*>(block) + offsetof(VersionBlock, Value));
    *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
