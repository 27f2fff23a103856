#pragma once

// The game's folder and the choice of a game file.

#include <optional>
#include <string>

#include "analysis/examine_results.h"

// The game's folder, ending with a backslash; set once by LookUpGameFolder.
extern std::string gameFolder;

// Sets gameFolder from the registry value that names the game's INI file and
// that file's entry FILE/MAIN, with these fallbacks: ".\" when
// there is no registry value and no ".\CV.ini"; "C:\Corvanta\" when the INI
// file or its key is missing; otherwise the entry followed by a backslash.
// Reports nothing.
void LookUpGameFolder();

// Runs the file-open dialog, owned by mainWindow, starting in folder (in its
// default folder when the absolute form of folder is too long) with fileName
// filled in. filter holds one pair in the platform's format (description,
// NUL, pattern, NUL; the string's own terminator closes the list).
// Returns nonzero when the user accepted a file: folder then holds the
// chosen file's folder, with its trailing backslash, and fileName its name.
// Returns 0 and changes neither when the user cancelled, or when the dialog
// failed, in which case a "File Error!" message box has told the user why
// (for instance a chosen path longer than the dialog's MAX_PATH buffer).
int ChooseFile(std::string& folder, std::string& fileName, const std::string& filter,
               const std::string& defaultExtension, const std::string& title);

// Lets the user choose the game file of an examination of kind: seeds
// lastFolder with gameFolder's "map\" folder on first use, lower-cases
// lastFolder and the kind's remembered name before and after the dialog,
// and returns the path to examine (lastFolder followed by the name), or
// nothing when no file was chosen. The lower-casing and the seeding stay
// done either way.
std::optional<std::string> SelectGameFile(FileKind kind);
