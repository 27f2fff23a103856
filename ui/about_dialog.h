#pragma once

#include <windows.h>

// The instructions-and-credits dialog (template 133). Puts the version line
// into control 1031 when the dialog opens and closes the dialog with result 0
// on OK or Enter (a command whose whole wParam is IDOK). Esc and every other
// command are ignored. Returns 0 for every message, so the dialog manager
// sets no initial keyboard focus.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
