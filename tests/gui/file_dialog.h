#pragma once

// The program's file-open dialog, read and filled in as a user does: the
// folder it shows, the name in its file name box, typing a name or a path
// and pressing Open or Cancel.

#include <windows.h>

#include <string>

#include "tests/gui/telvorn_process.h"

constexpr const char* MapDialogTitle = "Select MAP to Load:";
constexpr const char* ScenarioDialogTitle = "Select Scenario to Load:";

// The folder the dialog shows (CDM_GETFOLDERPATH), as the dialog spells it;
// empty when it cannot be read.
std::string FileDialogFolder(const TelvornProcess& program, HWND dialog);
// The text of its file name box (CDM_GETSPEC).
std::string FileDialogName(const TelvornProcess& program, HWND dialog);

// Types the text into the file name box and presses Open.
void ChooseInFileDialog(HWND dialog, const std::string& nameOrPath);
void CancelFileDialog(HWND dialog);

// The text with the letters A to Z lower-cased, as the program lower-cases
// the paths it remembers.
std::string LowerCased(std::string text);

// Folder texts compared as the file system does: letters of either case
// alike, a trailing backslash or none.
bool SameFolder(const std::string& shown, const std::string& expected);
