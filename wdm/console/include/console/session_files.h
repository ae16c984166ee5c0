// Where session files live and how the user picks one: the card's sessions
// folder beside the program, the ".kvs" extension and the file dialogs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// "<program folder><card name> sessions"; the program folder ends in its separator.
std::string SessionsFolder(const char* cardName);

// The path as it is when it ends in ".kvs" (case-sensitive), else with ".kvs" appended.
std::string WithSessionExtension(const std::string& path);

struct ChosenSessionFile {
    std::string path;      // as the dialog returned it
    std::string fileName;  // its file-name part
};

// The save dialog (with the overwrite prompt) or the open dialog on the
// sessions folder: "Korvane3 sessions (*.kvs)" first, then "All files (*.*)".
// Nothing when the user cancels or the path does not fit the dialog's buffer.
std::optional<ChosenSessionFile> ChooseSessionFile(HWND owner, const std::string& folder, bool save);
