// Module resources. There is no resource compiler here: a module that has
// resources declares them in C++ tables and exports one table of them as a
// data symbol, the stand-in for its resource section, which this layer finds
// by the module handle as GetProcAddress finds an export. Nothing is
// registered at load, so a table works for any module however it was loaded.
//
//     constexpr win32::DialogItemTemplate kItems[] = {
//         {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 10, 10, 50, 14},
//     };
//     constexpr win32::DialogTemplate kDialog = {WS_POPUP | WS_CAPTION, "Title", 120, 40, "MS Sans Serif", 8, kItems};
//     constexpr win32::DialogResource kDialogs[] = {{win32::NameOrOrdinal::Ordinal(101), &kDialog}};
//     constexpr win32::VersionString kTexts[] = {{"FileDescription", "A module"}};
//     constexpr win32::VersionResource kVersion = {fixedFileInfo, 0x0409, 0x04B0, kTexts};
//     extern "C" const win32::ModuleResources ModuleResourceTable = {kDialogs, &kVersion};
#pragma once

#include <span>
#include <string_view>

#include "win32/types.h"
#include "win32/version_info.h"

// A resource named by a number travels in the pointer of its name.
inline bool IS_INTRESOURCE(LPCSTR name) noexcept
{
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}
inline LPSTR MAKEINTRESOURCEA(WORD ordinal) noexcept
{
    return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(ordinal));
}

// Window styles of dialogs and their controls.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD DS_MODALFRAME = 0x00000080;

// Button styles: the kind in the low four bits, then the alignment.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr DWORD BS_LEFT = 0x100;
constexpr DWORD BS_VCENTER = 0xC00;

// Static styles: the kind in the low five bits.
constexpr DWORD SS_BITMAP = 0x0E;
constexpr DWORD SS_TYPEMASK = 0x1F;

namespace win32 {

// What a template holds where Windows allows a text or a resource number:
// a dialog's name, a static picture's bitmap.
class NameOrOrdinal {
public:
    constexpr NameOrOrdinal() = default;
    constexpr NameOrOrdinal(const char* name) : name_(name != nullptr ? name : "") {}
    static constexpr NameOrOrdinal Ordinal(WORD ordinal)
    {
        NameOrOrdinal id;
        id.ordinal_ = ordinal;
        id.isOrdinal_ = true;
        return id;
    }

    constexpr bool IsOrdinal() const noexcept { return isOrdinal_; }
    constexpr WORD GetOrdinal() const noexcept { return ordinal_; }
    constexpr std::string_view Name() const noexcept { return name_; }
    // Whether `name` (MAKEINTRESOURCEA or a text, ignoring case) names this.
    bool Matches(LPCSTR name) const noexcept;

private:
    std::string_view name_;
    WORD ordinal_ = 0;
    bool isOrdinal_ = false;
};

// One control of a dialog template; its rectangle in dialog units.
struct DialogItemTemplate {
    int id;                      // -1 for a control no code addresses
    std::string_view className;  // "Button", "Static"
    DWORD style;                 // WS_*, and BS_* or SS_* of its class
    NameOrOrdinal text;          // a static picture names its bitmap by number
    SHORT x, y, cx, cy;
};

struct DialogTemplate {
    DWORD style;  // WS_*, DS_*
    std::string_view caption;
    SHORT cx, cy;  // dialog units
    std::string_view fontName;
    WORD pointSize;
    std::span<const DialogItemTemplate> items;  // in tab and group order
};

struct DialogResource {
    NameOrOrdinal name;
    const DialogTemplate* dialog;
};

// One text of a version block's string table: "FileDescription", ...
struct VersionString {
    std::string_view name;
    std::string_view value;
};

// A module's version block (VS_VERSION_INFO): the fixed file information
// and one string table, in one language and code page, which its
// translation names.
struct VersionResource {
    VS_FIXEDFILEINFO fixed;
    WORD language;  // 0x0409: U.S. English
    WORD codePage;  // 0x04B0: Unicode
    std::span<const VersionString> strings;
};

// A module's resources, as its resource section would hold them.
struct ModuleResources {
    std::span<const DialogResource> dialogs;
    const VersionResource* version = nullptr;  // none: the module has no version block
};

// The dialog template `name` among the resources of `module`, or null with
// ERROR_RESOURCE_DATA_NOT_FOUND (the module has no resources) or
// ERROR_RESOURCE_NAME_NOT_FOUND.
const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR name);
// The version block among the resources of `module`, or null with
// ERROR_RESOURCE_TYPE_NOT_FOUND.
const VersionResource* FindVersionResource(HMODULE module);

}  // namespace win32

// The table of a module's resources: defined, exported, by each module that
// has resources, and looked up in that module only.
extern "C" __attribute__((visibility("default"))) const win32::ModuleResources ModuleResourceTable;
