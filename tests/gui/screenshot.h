#pragma once

// Pictures of what the program shows, for the README: the window's outer
// rectangle as it stands on the screen, caption and frame included.

#include <windows.h>

#include <string>

// Saves the window as driverSettings.screenshotFolder\name.bmp (24 bits);
// does nothing when no folder was given. False when the picture cannot be
// taken or written.
bool SaveScreenshot(HWND window, const std::string& name);
