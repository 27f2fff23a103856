#pragma once

// The GUI driver's shared parts: its cases and checks, the run of the real
// telvorn.exe and its windows, and examinations through the menu.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "filemaker/game_file_writer.h"

// Windows paths without a trailing backslash, from the command line; no
// screenshots when screenshotFolder is empty.
struct DriverSettings {
    std::string program, runFolder, filesFolder, screenshotFolder;
};
inline DriverSettings driverSettings;

// ---- Cases and checks. A case drives the program and states what it must
// show; a failed check is recorded with what was seen, a failed Require
// ends the case.

struct CaseAbort {};

struct Check {
    std::vector<std::string> failures, notes;
    bool Expect(bool condition, const std::string& what);
    bool ExpectText(const std::string& seen, const std::string& wanted, const std::string& what);
    void Require(bool condition, const std::string& what);
};

struct GuiCase {
    std::string name;
    std::function<void(Check&)> run;
};
std::vector<GuiCase>& GuiCases();

// Registers one case for each row of a table, named prefix + row.name.
template <class Row, std::size_t N>
bool RegisterCases(const std::string& prefix, const Row (&rows)[N], void (*run)(Check&, const Row&)) {
    for (const Row& row : rows) GuiCases().push_back({prefix + row.name, [&row, run](Check& check) { run(check, row); }});
    return true;
}

#define GUI_CASE(procedure, name)                                                 \
    static void procedure(Check& check);                                          \
    static const bool procedure##Registered = (GuiCases().push_back({name, procedure}), true); \
    static void procedure(Check& check)

// The text with its control characters spelt out, for failure messages.
std::string Quoted(const std::string& text);

// Run by run-gui-tests.sh for each game-folder setting: the first file dialog
// opens in expectedFolder ("*": its own default), and examines a name chosen there.
void CheckFirstFolder(Check& check, const std::string& expectedFolder);

// ---- Windows, read and driven through the platform.

// How long a window may take to appear under Wine, and how long the driver
// watches a key that must change nothing, for which no event tells.
constexpr DWORD WindowTimeout = 20000;
constexpr DWORD QuietTime = 1200;
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
// Posted, so that the driver never waits inside a modal window it opens.
void ClickButton(HWND dialog, int id);
// Saves the window's outer rectangle as screenshotFolder\name.bmp.
void SaveScreenshot(HWND window, const std::string& name);

// One run of telvorn.exe, started in driverSettings.runFolder; terminated
// when its owner ends, so that a failed case leaves no window behind.
class TelvornProcess {
public:
    TelvornProcess();
    ~TelvornProcess();
    TelvornProcess(const TelvornProcess&) = delete;
    TelvornProcess& operator=(const TelvornProcess&) = delete;

    HANDLE Handle() const { return process; }
    // The visible window of class TELVORN, waited for; nullptr when none
    // shows, or with Require, the case ends.
    HWND MainWindow();
    HWND RequireMainWindow(Check& check);
    void Command(int id);  // sends WM_COMMAND to the main window, as the menu does, without waiting
    // The program's visible top-level windows of the class, topmost first.
    std::vector<HWND> Windows(const char* className = "#32770") const;
    // The visible dialog with exactly this caption, waited for.
    HWND WaitForDialog(const std::string& caption) const;
    // Waits until the program has handled every message and command sent so
    // far; false when it does not within WindowTimeout.
    bool HandledAllSoFar();
    // True when, all handled, no dialog shows and the main window takes input.
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

// The kind's menu command, requiring its file dialog.
HWND OpenFileDialog(Check& check, TelvornProcess& program, const ExamineKind& kind);
// Types into the file name box, presses Open and waits for the next dialog:
// the error box, a results dialog or the file dialog's own warning.
HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath);
// OpenFileDialog and ChooseFile; ends the case when no window answers.
HWND ExamineThroughMenu(Check& check, TelvornProcess& program, const ExamineKind& kind, const std::string& path);
// Checks the "File Error!" box, owned by the main window, with one OK
// button and exactly this text, and closes it with OK.
void ExpectFileError(Check& check, TelvornProcess& program, HWND box, const std::string& text);

// The letters A to Z lower-cased, as the program lower-cases chosen paths.
std::string LowerCased(std::string text);

// ---- Game files, written with the project's file maker.

// driverSettings.filesFolder\name.
std::string FixturePath(const std::string& name);
void RequireWritten(Check& check, const std::string& path, const filemaker::GameFile& file);
// 4 rows by 5 clear columns, no wrap, three cities of efficiencies 50, 50
// and 51 with specialties 3, 3 and 12; as a map, or as a scenario with no units.
filemaker::GameFile SmallMap(int version = 1);
filemaker::GameFile SmallScenario(int version = 1);
