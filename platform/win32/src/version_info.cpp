// Version blocks: the ones declared at start-up, and the ones loaded modules
// carry among their resources. A block is laid out as the platform lays out
// a version resource, a tree of nodes: each its length, the length of its
// value, its type (0 binary, 1 text), its key in UTF-16, padding to 32 bits,
// its value, padding, then its children. The root "VS_VERSION_INFO" holds
// the fixed file information; below it "StringFileInfo" holds one string
// table per translation (key "040904B0"), and "VarFileInfo" the
// "Translation" list. After the tree come the texts as the A calls hand
// them out, each at twice its offset in the tree, so that VerQueryValueA
// answers from inside the caller's copy.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "utf.h"
#include "win32/errors.h"
#include "win32/modules.h"
#include "win32/resources.h"
#include "win32/version_info.h"

namespace {

constexpr WORD kBinary = 0;
constexpr WORD kText = 1;
constexpr std::size_t kHeader = 6;  // wLength, wValueLength, wType
constexpr char kRootKey[] = "VS_VERSION_INFO";

std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

std::u16string Utf16(std::string_view text)
{
    std::u16string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        char16_t units[2];
        const int count = win32::utf::EncodeUtf16(win32::utf::DecodeUtf8({bytes, text.size()}, at), units);
        out.append(units, static_cast<std::size_t>(count));
    }
    return out;
}

// Writes a block's tree, nodes opened and closed as they nest, then the
// room for the A texts with each text in it.
class BlockWriter {
public:
    std::size_t Open(std::string_view key, WORD type, const void* value, std::size_t valueBytes, WORD valueLength)
    {
        const std::size_t node = bytes_.size();
        Word(0);
        Word(valueLength);
        Word(type);
        for (const char16_t unit : Utf16(key)) Word(unit);
        Word(0);
        Pad();
        const auto* from = static_cast<const BYTE*>(value);
        bytes_.insert(bytes_.end(), from, from + valueBytes);
        Pad();
        return node;
    }
    void Close(std::size_t node)
    {
        const auto length = static_cast<WORD>(bytes_.size() - node);
        std::memcpy(bytes_.data() + node, &length, sizeof length);
    }
    void Text(std::string_view key, std::string_view text)
    {
        const std::u16string value = Utf16(text) + u'\0';
        const std::size_t node = Open(key, kText, value.data(), value.size() * sizeof(char16_t), static_cast<WORD>(value.size()));
        texts_.emplace_back(bytes_.size() - Aligned(value.size() * sizeof(char16_t)), text);
        Close(node);
    }
    std::vector<BYTE> Take()
    {
        // A text's A form is at most three bytes a UTF-16 unit, and each
        // value is at least eight bytes on from the one before.
        const std::size_t tree = bytes_.size();
        bytes_.resize(tree * 3, 0);
        for (const auto& [value, text] : texts_) std::memcpy(bytes_.data() + tree + 2 * value, text.data(), text.size());
        return std::move(bytes_);
    }

private:
    void Word(WORD word)
    {
        const BYTE* from = reinterpret_cast<const BYTE*>(&word);
        bytes_.insert(bytes_.end(), from, from + sizeof word);
    }
    void Pad() { bytes_.resize(Aligned(bytes_.size()), 0); }
    std::vector<BYTE> bytes_;
    std::vector<std::pair<std::size_t, std::string_view>> texts_;  // value offset, text
};

std::vector<BYTE> MakeBlock(const win32::VersionResource& resource)
{
    BlockWriter writer;
    const std::size_t root = writer.Open(kRootKey, kBinary, &resource.fixed, sizeof resource.fixed, sizeof resource.fixed);
    if (!resource.strings.empty()) {
        const std::size_t info = writer.Open("StringFileInfo", kText, nullptr, 0, 0);
        char table[9];
        std::snprintf(table, sizeof table, "%04X%04X", resource.language, resource.codePage);
        const std::size_t strings = writer.Open(table, kText, nullptr, 0, 0);
        for (const win32::VersionString& text : resource.strings) writer.Text(text.name, text.value);
        writer.Close(strings);
        writer.Close(info);
        const std::size_t vars = writer.Open("VarFileInfo", kText, nullptr, 0, 0);
        const WORD translation[2] = {resource.language, resource.codePage};
        writer.Close(writer.Open("Translation", kBinary, translation, sizeof translation, sizeof translation));
        writer.Close(vars);
    }
    writer.Close(root);
    return writer.Take();
}

// A node of a block read back; false when it does not fit its parent.
struct Node {
    std::size_t offset;
    WORD length;
    WORD valueLength;
    WORD type;
    std::u16string key;
    std::size_t value;     // offset of the value
    std::size_t children;  // offset of the first child
};

std::optional<Node> ReadNode(const BYTE* block, std::size_t offset, std::size_t end)
{
    if (offset + kHeader > end) return std::nullopt;
    Node node{offset, 0, 0, 0, {}, 0, 0};
    std::memcpy(&node.length, block + offset, sizeof(WORD));
    std::memcpy(&node.valueLength, block + offset + 2, sizeof(WORD));
    std::memcpy(&node.type, block + offset + 4, sizeof(WORD));
    if (node.length < kHeader || offset + node.length > end) return std::nullopt;
    const std::size_t nodeEnd = offset + node.length;
    std::size_t at = offset + kHeader;
    for (;;) {
        if (at + 2 > nodeEnd) return std::nullopt;
        char16_t unit;
        std::memcpy(&unit, block + at, sizeof unit);
        at += 2;
        if (unit == 0) break;
        node.key.push_back(unit);
    }
    node.value = Aligned(at);
    const std::size_t valueBytes = node.type == kText ? node.valueLength * sizeof(char16_t) : node.valueLength;
    if (node.value + valueBytes > nodeEnd) return std::nullopt;
    node.children = Aligned(node.value + valueBytes);
    return node;
}

bool KeyIs(const std::u16string& key, std::string_view name)
{
    return std::equal(key.begin(), key.end(), name.begin(), name.end(), [](char16_t k, char n) {
        return k < 0x80 && std::tolower(static_cast<unsigned char>(k)) == std::tolower(static_cast<unsigned char>(n));
    });
}

// The child of `parent` named `name`, ignoring case.
std::optional<Node> FindChild(const BYTE* block, const Node& parent, std::string_view name)
{
    const std::size_t end = parent.offset + parent.length;
    for (std::size_t at = parent.children; at < end;) {
        const auto child = ReadNode(block, at, end);
        if (!child) return std::nullopt;
        if (KeyIs(child->key, name)) return child;
        at = Aligned(at + child->length);
    }
    return std::nullopt;
}

// A name as the declared blocks are keyed: its file-name part, upper case.
std::string FileName(std::string_view name)
{
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    return std::string(name);
}

std::string Key(std::string_view name)
{
    std::string key = FileName(name);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

struct Table {
    std::mutex lock;
    std::map<std::string, VS_FIXEDFILEINFO> blocks;
};

Table& Declared()
{
    static Table table;
    return table;
}

// The block of the file: declared, or carried by the loaded module of that
// file name. Nothing with the error: no such module, or no block in it.
std::optional<std::vector<BYTE>> Find(LPCSTR fileName)
{
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    {
        Table& table = Declared();
        std::lock_guard guard(table.lock);
        if (const auto it = table.blocks.find(Key(fileName)); it != table.blocks.end())
            return MakeBlock(win32::VersionResource{it->second, 0, 0, {}});
    }
    const HMODULE module = GetModuleHandleA(FileName(fileName).c_str());
    if (module == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    const win32::VersionResource* resource = win32::FindVersionResource(module);
    if (resource == nullptr) return std::nullopt;
    return MakeBlock(*resource);
}

}  // namespace

namespace win32 {

void RegisterModuleVersion(std::string_view fileName, const VS_FIXEDFILEINFO& info)
{
    Table& table = Declared();
    std::lock_guard guard(table.lock);
    table.blocks.insert_or_assign(Key(fileName), info);
}

void UnregisterModuleVersion(std::string_view fileName)
{
    Table& table = Declared();
    std::lock_guard guard(table.lock);
    table.blocks.erase(Key(fileName));
}

}  // namespace win32

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle)
{
    if (handle != nullptr) *handle = 0;
    const auto block = Find(fileName);
    return block ? static_cast<DWORD>(block->size()) : 0;
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD /*handle*/, DWORD size, LPVOID data)
{
    const auto block = Find(fileName);
    if (!block) return FALSE;
    if (data == nullptr || size < block->size()) {
        SetLastError(data == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(data, block->data(), block->size());
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID data, LPCSTR subBlock, LPVOID* buffer, PUINT length)
{
    if (data == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) return FALSE;
    const auto* block = static_cast<const BYTE*>(data);
    WORD treeLength = 0;
    std::memcpy(&treeLength, block, sizeof treeLength);
    const auto root = ReadNode(block, 0, treeLength);
    if (!root || !KeyIs(root->key, kRootKey) || root->valueLength != sizeof(VS_FIXEDFILEINFO) || root->type != kBinary)
        return FALSE;
    std::string_view path(subBlock);
    if (path.empty() || path.front() != '\\') return FALSE;
    path.remove_prefix(1);
    if (path.empty()) {
        *buffer = const_cast<BYTE*>(block + root->value);
        *length = sizeof(VS_FIXEDFILEINFO);
        return TRUE;
    }
    Node node = *root;
    for (;;) {
        const std::size_t slash = path.find('\\');
        const std::string_view name = path.substr(0, slash);
        if (name.empty()) return FALSE;
        const auto child = FindChild(block, node, name);
        if (!child) return FALSE;
        node = *child;
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    if (node.valueLength == 0) return FALSE;
    if (node.type == kBinary) {
        *buffer = const_cast<BYTE*>(block + node.value);
        *length = node.valueLength;
        return TRUE;
    }
    // A text: its A form, in the room after the tree.
    auto* text = reinterpret_cast<char*>(const_cast<BYTE*>(block)) + treeLength + 2 * node.value;
    *buffer = text;
    *length = static_cast<UINT>(std::strlen(text) + 1);
    return TRUE;
}
