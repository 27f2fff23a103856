#pragma once

// The GUI driver's shared parts: the run of the real telvorn.exe and its
// windows, and examinations through the menu.

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "filemaker/game_file_writer.h"

// The driver's folders, Windows paths without a trailing backslash: the
// driver and telvorn.exe lie in WORK\bin, and beside it lie run (where the
// program runs, with the samples in run\map), files and screenshots.
struct DriverFolders {
    std::string work, program, run, files, screenshots;
};
const DriverFolders& Folders();

// Ends the test with what failed, from a helper that gives a value.
[[noreturn]] inline void Fail(const std::string& what) { throw std::runtime_error(what); }
template <class T>
T Required(T value, const std::string& what) {
    if (!value) Fail(what);
    return value;
}

// ---- Windows, read and driven through the platform.

// How long a window may take to appear under Wine.
constexpr DWORD WindowTimeout = 20000;
constexpr int MessageBoxTextId = 0xFFFF;

// Polls condition every 50 ms until it holds or timeout runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = WindowTimeout);
std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
std::string ControlText(HWND dialog, int id);
// Waits until the window is gone or hidden; false when it stays.
bool WaitUntilClosed(HWND window);

struct KeyPress {
    WORD key;  // a virtual key: 'F', VK_RETURN, ...
    bool alt;  // held down around it
};
// Types the keys (SendInput) into the window, made the active foreground
// window first; false when it cannot be.
bool PressKeys(HWND window, const std::vector<KeyPress>& keys);
// Expects that Esc leaves the dialog open.
void ExpectEscLeavesOpen(HWND dialog);
// Posted, so that the driver never waits inside a modal window it opens.
void ClickButton(HWND dialog, int id);
// Saves the window's outer rectangle as the screenshots folder's name.bmp.
void SaveScreenshot(HWND window, const std::string& name);

// One run of telvorn.exe, started in the run folder; terminated when its
// owner ends, so that a failed test leaves no window behind.
class TelvornProcess {
public:
    TelvornProcess();
    ~TelvornProcess();
    TelvornProcess(const TelvornProcess&) = delete;
    TelvornProcess& operator=(const TelvornProcess&) = delete;

    HANDLE Handle() const { return process; }
    // The visible window of class TELVORN, waited for; ends the test when none shows.
    HWND MainWindow();
    void Command(int id);  // sends WM_COMMAND to the main window, as the menu does, without waiting
    // The program's visible top-level windows of the class, topmost first.
    std::vector<HWND> Windows(const char* className = "#32770") const;
    // The visible dialog with exactly this caption, waited for.
    HWND WaitForDialog(const std::string& caption) const;
    // True when, every message sent so far handled, no dialog shows and the
    // main window takes input.
    bool ShowsNothingMore();
    bool WaitForExit(DWORD& exitCode);  // false when it is still running

private:
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND mainWindow = nullptr;
};

// ---- Examinations as a user runs them.

struct ExamineKind {
    int command;  // of the menu
    const char* dialogTitle;
    const char* kindName;  // as the error text names the kind
};
extern const ExamineKind MapKind;
extern const ExamineKind ScenarioKind;

constexpr const char* UnsupportedVersion = "File is from unsupported version of Corvanta.";
constexpr const char* NewerVersion = "File is from newer version of Corvanta. An update may be available.";

// "Error loading <kind> file\n<path>\n<reason>".
std::string FileErrorText(const ExamineKind& kind, const std::string& path, const std::string& reason);

// The kind's menu command; ends the test when its file dialog does not open.
HWND OpenFileDialog(TelvornProcess& program, const ExamineKind& kind);
// Types into the file name box, presses Open and waits for the next dialog:
// the error box, a results dialog or the file dialog's own warning; ends the
// test when none answers.
HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath);
HWND ExamineThroughMenu(TelvornProcess& program, const ExamineKind& kind, const std::string& path);
// Expects the "File Error!" box, owned by the main window, with one OK button
// and exactly this text, and closes it with OK.
void ExpectFileError(TelvornProcess& program, HWND box, const std::string& text);

// The letters A to Z lower-cased, as the program lower-cases chosen paths.
std::string LowerCased(std::string text);

// ---- Game files, written with the project's file maker.

// The files folder's name.
std::string FixturePath(const std::string& name);
void RequireWritten(const std::string& path, const filemaker::GameFile& file);
// 4 rows by 5 clear columns, no wrap, three cities of efficiencies 50, 50
// and 51 with specialties 3, 3 and 12; as a map, or as a scenario with no units.
filemaker::GameFile SmallMap(int version = 1);
filemaker::GameFile SmallScenario(int version = 1);
