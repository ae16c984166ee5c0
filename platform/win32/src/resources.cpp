// Finding a module's resources: its one exported table, looked up in that
// module itself, its dialogs by name or number and its version block.
#include "win32/resources.h"

#include "module_symbols.h"
#include "no_case.h"
#include "win32/errors.h"

namespace win32 {
namespace {

constexpr char kTableSymbol[] = "ModuleResourceTable";

const ModuleResources* FindTable(HMODULE module)
{
    DWORD error = ERROR_SUCCESS;
    return static_cast<const ModuleResources*>(FindModuleSymbol(module, kTableSymbol, &error));
}

}  // namespace

bool NameOrOrdinal::Matches(LPCSTR name) const noexcept
{
    if (IS_INTRESOURCE(name)) return isOrdinal_ && ordinal_ == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    return !isOrdinal_ && name != nullptr && EqualNoCase(name_, name);
}

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR name)
{
    const ModuleResources* table = FindTable(module);
    if (table == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    for (const DialogResource& dialog : table->dialogs)
        if (dialog.name.Matches(name) && dialog.dialog != nullptr) return dialog.dialog;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

const VersionResource* FindVersionResource(HMODULE module)
{
    const ModuleResources* table = FindTable(module);
    if (table == nullptr || table->version == nullptr) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    return table->version;
}

}  // namespace win32
