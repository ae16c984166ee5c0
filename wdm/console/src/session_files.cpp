#include "console/session_files.h"

#include "console/start_up.h"

namespace {

const char SessionExtension[] = ".kvs";
// Two description/pattern pairs; the list ends in a second NUL.
const char SessionFilter[] = "Korvane3 sessions (*.kvs)\0*.kvs\0All files (*.*)\0*.*\0";

}  // namespace

std::string SessionsFolder(const char* cardName) { return ProgramDir + cardName + " sessions"; }

std::string WithSessionExtension(const std::string& path)
{
    return path.ends_with(SessionExtension) ? path : path + SessionExtension;
}

std::optional<ChosenSessionFile> ChooseSessionFile(HWND owner, const std::string& folder, bool save)
{
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = SessionFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : 0);
    ofn.lpstrDefExt = nullptr;
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return std::nullopt;
    // Out of the fixed buffer at once: every later path is a string.
    ChosenSessionFile result{file, {}};
    if (ofn.nFileOffset <= result.path.size()) result.fileName = result.path.substr(ofn.nFileOffset);
    return result;
}
