#pragma once

#include <windows.h>

#include <array>

// The program's one window and the module that holds every resource.
// All of them are set during start-up and keep their values to the end.
extern HINSTANCE appInstance;  // set by CreateMainWindow
extern HWND mainWindow;        // owner of every dialog and message box
extern std::array<char, 100> titleText;      // string 103, at most 99 characters
extern std::array<char, 100> classNameText;  // string 109
extern HBITMAP picture;        // bitmap 131, or none when it could not be loaded

// Registers the main window's class (named classNameText) for instance. The
// result is not reported: a failed registration shows as a failed
// CreateMainWindow.
void RegisterMainWindowClass(HINSTANCE instance);

// Stores instance in appInstance, creates the 640 by 480 main window into
// mainWindow, which takes files dropped on it, shows it with showCommand and
// paints it at once. Returns 1 when
// the window exists and 0 when it could not be created.
int CreateMainWindow(HINSTANCE instance, int showCommand);

// The main window's procedure: paints the picture, runs the menu commands,
// examines the files dropped on it and ends the message loop when the window
// is destroyed.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Loads the named bitmap resource of the program's own executable at width by
// height as a device-independent section. Returns the bitmap, which the caller
// owns and deletes, or none when name is none or the load fails.
HBITMAP LoadBitmapResource(LPCSTR name, int width, int height);

// Draws the whole of bitmap stretched over window's client area, from (x, y),
// into paintContext; draws nothing when bitmap is none. The bitmap stays
// loaded and unselected.
void PaintPicture(HWND window, HDC paintContext, HBITMAP bitmap, int x, int y);
