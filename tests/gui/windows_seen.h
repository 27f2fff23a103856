#pragma once

// What a user sees of a window and does to it, read and done through the
// platform: texts, classes, children, rectangles, keys and buttons.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
// The text of the dialog's control with this id; empty when there is none.
std::string ControlText(HWND dialog, int id);
// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);

// The windows whose parent is this one, in z-order.
std::vector<HWND> DirectChildren(HWND parent);
bool IsGroupBox(HWND control);

// Polls condition every 50 ms until it holds or timeout runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout);

// One key pressed and released, with Alt held down around it or not.
struct KeyPress {
    WORD key;  // a virtual key: 'F', VK_RETURN, ...
    bool alt;
};

// Makes the window the foreground window and types the keys on the
// keyboard (SendInput), so that they reach the program as a user's keys do,
// through its message loop. False when the window cannot be brought to the
// foreground.
bool PressKeys(HWND window, const std::vector<KeyPress>& keys);
bool PressKey(HWND window, WORD key);
// A left click of the mouse at a point of the screen (SendInput).
void ClickAt(POINT point);
// The button with this id of the dialog clicked.
void ClickButton(HWND dialog, int id);

// The dialog's client area in screen coordinates.
RECT ClientRectOnScreen(HWND window);
std::string RectText(const RECT& rect);
