// The common file dialogs over the desktop: the structure read into a
// request, the answer checked against the caller's buffer.
#include <cstring>
#include <string>

#include "win32/commdlg.h"
#include "win32/desktop.h"
#include "win32/errors.h"

namespace {

win32::FileDialogRequest ReadRequest(const OPENFILENAMEA& ofn, bool save)
{
    win32::FileDialogRequest request;
    request.save = save;
    request.owner = ofn.hwndOwner;
    // Description, patterns, description, patterns ... up to an empty text.
    for (LPCSTR p = ofn.lpstrFilter; p != nullptr && *p != '\0';) {
        std::string description = p;
        p += description.size() + 1;
        if (*p == '\0') break;  // a description without patterns ends the list
        std::string patterns = p;
        p += patterns.size() + 1;
        request.filters.emplace_back(std::move(description), std::move(patterns));
    }
    request.filterIndex = ofn.nFilterIndex;
    if (ofn.lpstrInitialDir != nullptr) request.initialDir = ofn.lpstrInitialDir;
    request.flags = ofn.Flags;
    request.bufferSize = ofn.nMaxFile;
    return request;
}

BOOL RunFileDialog(LPOPENFILENAMEA ofn, bool save)
{
    if (ofn == nullptr || ofn->lStructSize != sizeof(OPENFILENAMEA) || ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto answer = win32::ChooseFile(ReadRequest(*ofn, save));
    if (!answer) return FALSE;
    std::string path = *answer;
    const std::size_t nameStart = path.find_last_of("\\/") + 1;  // npos + 1 is 0
    if (ofn->lpstrDefExt != nullptr && *ofn->lpstrDefExt != '\0' && path.find('.', nameStart) == std::string::npos)
        path += std::string(".") + ofn->lpstrDefExt;
    // A path cut to fit would name another file.
    if (path.size() + 1 > ofn->nMaxFile || nameStart > 0xFFFF) return FALSE;
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    ofn->nFileOffset = static_cast<WORD>(nameStart);
    return TRUE;
}

}  // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    return RunFileDialog(ofn, false);
}

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn)
{
    return RunFileDialog(ofn, true);
}
