#pragma once

#include <windows.h>

// Closes a dialog that closes only on OK: result 0 for a command whose whole
// wParam is IDOK (OK or Enter); Esc and every other command are ignored.
inline void CloseOnOk(HWND dialog, WPARAM wParam) {
    if (wParam == IDOK) EndDialog(dialog, 0);
}
