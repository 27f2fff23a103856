#pragma once

#include <windows.h>

// The results dialog (templates 134 and 135). Fills every field
// once from examineResults when the dialog opens: the title, the map's
// figures and, unless the kind is Map, the players' unit table. Closes the
// dialog with result 0 on OK or Enter (a command whose whole wParam is IDOK);
// Esc and every other command are ignored. Returns 0 for every message.
INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
