#pragma once

// The windowed side of the examination driver: the two menu
// commands, the file selection and error message around ExaminePath, and the
// results dialog. Everything runs on the GUI thread inside a menu command.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/examine_results.h"

// The remembered texts of the run: empty at start, filled in lower case by
// SelectGameFile and ExamineHandedFiles, and never saved. lastFolder is the folder in
// which the next file dialog of either kind starts, ending with a backslash
// once filled; the names are the last chosen name of each kind, without folder.
extern std::string lastFolder;
extern std::string lastMapFileName;
extern std::string lastScenarioFileName;

// The remembered file name of kind: lastMapFileName or lastScenarioFileName.
std::string& RememberedFileName(FileKind kind);

// Tells the user why a file could not be examined or chosen: a "File Error!"
// message box owned by mainWindow with the error icon and an OK button.
// Returns when the user has closed it.
void ShowFileError(const char* text);

// Runs one examination of the kind that typeTag ("CMAP" or "CSCN") names:
// the user picks the file, ExaminePath examines it into examineResults.
// Returns -1 when the tag names no kind (nothing else happens); 1 when the
// user chose no file (nothing is opened or shown); 0 when examineResults is
// complete; otherwise the negative status of the failure, after a "File
// Error!" message box owned by mainWindow has told the user and been closed.
// examineResults.fileName is the kind's remembered name afterwards, unless
// the tag named no kind.
int16_t ExamineFile(std::string_view typeTag);

// The menu commands "Examine Map" (129) and "Examine Scenario" (130): set the
// kind of examineResults, run ExamineFile and show the results dialog when it
// returned 0. Always return 0.
int MapExaminationCommand();
int ScenarioExaminationCommand();

// Examines the files handed to the program (on its command line, or dropped
// on its window), given as the A calls give them, one after the other, each
// as the menu command of its kind would: the kind from the extension in any
// letter case, else from the file's own type tag; the results dialog or the
// error box, also for a file of neither kind; and lastFolder and the kind's
// remembered name then follow the file as a choice in the file dialog would.
void ExamineHandedFiles(const std::vector<std::string>& paths);

// Runs the results dialog modally, owned by mainWindow: template 134 when the
// kind of examineResults is Map, 135 otherwise. Returns the dialog's result
// (always 0) when the user has closed it.
intptr_t ShowResultsDialog();
