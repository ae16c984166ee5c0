// Finding a module's resources: its one exported table, looked up in that
// module itself, and the entries of the table by name or number.
#include "win32/resources.h"

#include "module_symbols.h"
#include "no_case.h"
#include "win32/errors.h"

namespace win32 {
namespace {

constexpr char kTableSymbol[] = "ModuleResourceTable";

}  // namespace

bool NameOrOrdinal::Matches(LPCSTR name) const noexcept
{
    if (IS_INTRESOURCE(name)) return isOrdinal_ && ordinal_ == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    return !isOrdinal_ && name != nullptr && EqualNoCase(name_, name);
}

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR name)
{
    DWORD error = ERROR_SUCCESS;
    const auto* table = static_cast<const ModuleResources*>(FindModuleSymbol(module, kTableSymbol, &error));
    if (table == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    for (const DialogResource& dialog : table->dialogs)
        if (dialog.name.Matches(name) && dialog.dialog != nullptr) return dialog.dialog;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

}  // namespace win32
