#pragma once

// One examination as a user runs it: the menu command, the file dialog,
// and the window that answers the choice (the "File Error!" box or a
// results dialog).

#include <windows.h>

#include <string>

#include "tests/gui/file_dialog.h"
#include "tests/gui/gui_check.h"
#include "tests/gui/telvorn_process.h"

struct ExamineKind {
    int command;              // the menu command
    const char* dialogTitle;  // the file dialog's title
    const char* kindName;     // as the error text names the kind
};

extern const ExamineKind MapKind;
extern const ExamineKind ScenarioKind;

// The reasons of the error text.
constexpr const char* UnableToFindFile = "Unable to find file.";
constexpr const char* FileDataIsBad = "File data is bad.";
constexpr const char* UnsupportedVersion = "File is from unsupported version of Corvanta.";
constexpr const char* NewerVersion = "File is from newer version of Corvanta. An update may be available.";

// "Error loading <kind> file\n<path>\n<reason>", with no line break after it.
std::string FileErrorText(const ExamineKind& kind, const std::string& path, const std::string& reason);

// Chooses the kind's menu command and waits for its file dialog.
HWND OpenFileDialog(Check& check, TelvornProcess& program, const ExamineKind& kind);
// Types the name or path into the file dialog, presses Open and waits for
// the next window of the program other than the file dialog: a message box
// or a results dialog, or the file dialog's own warning when it refuses the
// choice. nullptr when none comes.
HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath);
// OpenFileDialog and ChooseFile; ends the case when no window answers.
HWND ExamineThroughMenu(Check& check, TelvornProcess& program, const ExamineKind& kind, const std::string& path);

// Checks that the window is the program's "File Error!" box, owned by the
// main window, with exactly this text, and closes it with OK.
void ExpectFileError(Check& check, TelvornProcess& program, HWND box, const std::string& text);
