#pragma once

// The game folder as a user sees it: the folder in which the first file
// dialog of a run opens. run-gui-tests.sh sets the registry value and the
// INI files for each setting before it runs this case.

#include <string>

#include "tests/gui/gui_check.h"

// Starts the program, opens Examine Map and checks that the dialog opens in
// expectedFolder (lower case, ending with a backslash), both as the dialog
// shows it and as the program examines a file chosen there by its bare name.
// An expectedFolder of "*" stands for the dialog's own default folder
// (where the platform starts a dialog given no folder): the dialog must
// open, and a file chosen there must be examined.
void CheckFirstFolder(Check& check, const std::string& expectedFolder);
