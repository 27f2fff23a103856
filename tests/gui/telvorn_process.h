#pragma once

// One run of the real telvorn.exe, as a user starts it, and the windows it
// shows. The run ends with its owner: a program still running then is ended
// with TerminateProcess, so that one failed case never leaves a window for
// the next one.

#include <windows.h>

#include <string>
#include <vector>

// How long a window may take to appear under Wine, and how long the driver
// watches for one that must not appear.
constexpr DWORD WindowTimeout = 20000;
constexpr DWORD QuietTime = 1200;

class TelvornProcess {
public:
    // Starts the program in driverSettings.runFolder as its current directory.
    TelvornProcess();
    ~TelvornProcess();
    TelvornProcess(const TelvornProcess&) = delete;
    TelvornProcess& operator=(const TelvornProcess&) = delete;

    bool Started() const { return process != nullptr; }

    // The program's visible top-level window of class TELVORN, waiting up to
    // timeout for it; nullptr when none shows.
    HWND MainWindow(DWORD timeout = WindowTimeout);

    // Posts WM_COMMAND with the id to the main window, as the menu does.
    void Command(int id);

    // The program's visible dialogs (class #32770), topmost first.
    std::vector<HWND> Dialogs() const;
    // The program's visible dialog with exactly this caption, waiting up to
    // timeout; nullptr when none shows.
    HWND WaitForDialog(const std::string& caption, DWORD timeout = WindowTimeout) const;
    // Any visible dialog of the program, waiting up to timeout.
    HWND WaitForAnyDialog(DWORD timeout = WindowTimeout) const;
    // The program's visible drop-down menus (class #32768).
    std::vector<HWND> Menus() const;
    // Waits until the window is gone or hidden; false when it stays.
    static bool WaitUntilClosed(HWND window, DWORD timeout = WindowTimeout);
    // True when, for QuietTime, the program shows no dialog and its main
    // window takes input (no modal window is open).
    bool ShowsNothingMore();

    // Waits for the process to end and gives its exit code; false when it
    // is still running after timeout.
    bool WaitForExit(DWORD& exitCode, DWORD timeout = WindowTimeout);

    HANDLE Handle() const { return process; }

private:
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND mainWindow = nullptr;
};
