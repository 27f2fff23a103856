#pragma once

// What a user sees of telvorn.exe's windows and does to them, examinations
// through the menu, and the small game files they use.

#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "examine/ascii_text.h"
#include "filemaker/game_file_writer.h"
#include "gamefile/utf8_path.h"
#include "ui/resources/resource.h"

// The driver and telvorn.exe lie in WORK\bin; beside bin lie run (where the
// program runs, with the samples in run\map), files and screenshots.
struct DriverFolders {
    std::string work, program = work + "\\bin\\telvorn.exe", run = work + "\\run", files = work + "\\files",
                      screenshots = work + "\\screenshots";
};
inline const DriverFolders& Folders() {
    static const DriverFolders folders{[] {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        return std::filesystem::path(self).parent_path().parent_path().string();
    }()};
    return folders;
}

// Ends the test with what failed, from a helper that gives a value.
[[noreturn]] inline void Fail(const std::string& what) { throw std::runtime_error(what); }
template <class T>
T Required(T value, const std::string& what) {
    if (!value) Fail(what);
    return value;
}

constexpr DWORD WindowTimeout = 20000;  // how long a window may take to appear under Wine
constexpr int MessageBoxTextId = 0xFFFF;

inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = WindowTimeout) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start >= timeout) return false;
    return true;
}

// Sent: for another process's window GetWindowTextA gives only a caption that
// the system holds; the system carries WM_GETTEXT's buffer across.
inline std::string WindowText(HWND window) {
    std::string text(4096, '\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &length);
    text.resize(strnlen(text.c_str(), text.size()));
    return text;
}

inline std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

inline bool WaitUntilClosed(HWND window) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

inline GUITHREADINFO ThreadOf(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread;
}

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

// Posted, so that the driver never waits inside a modal window it opens.
inline void ClickButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

inline void SaveScreenshot(HWND window, const std::string& name) {
    RECT area{};
    GetWindowRect(window, &area);
    Sleep(400);  // lets the program finish painting what just opened
    // Bottom-up rows of 24-bit BGR padded to four bytes, as a BMP stores them.
    BITMAPINFOHEADER header{sizeof header, area.right - area.left, area.bottom - area.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    header.biSizeImage = static_cast<DWORD>(((header.biWidth * 3 + 3) & ~3) * header.biHeight);
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof header + header.biSizeImage), 0, 0,
                                sizeof file + sizeof header};  // "BM"
    void* pixels = nullptr;
    const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pixels, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = bitmap != nullptr &&
                        BitBlt(memory, 0, 0, header.biWidth, header.biHeight, screen, area.left, area.top, SRCCOPY) &&
                        GdiFlush();
    if (copied)
        std::ofstream(Folders().screenshots + "\\" + name + ".bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(&file), sizeof file)
            .write(reinterpret_cast<const char*>(&header), sizeof header)
            .write(static_cast<const char*>(pixels), header.biSizeImage);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(copied) << "the screen can be read for " << name;
}

// One run of telvorn.exe, started in the run folder, with files handed to it
// on its command line as Explorer hands them (Open with, files dropped on its
// icon); terminated when its owner ends, so that a failed test leaves no
// window behind. Texts are UTF-8, the driver's code page (its manifest's).
class TelvornProcess {
public:
    explicit TelvornProcess(const std::vector<std::string>& files = {}) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string commandLine = "\"" + Folders().program + "\"";
        for (const std::string& file : files) commandLine += " \"" + file + "\"";
        if (!CreateProcessA(Folders().program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            Folders().run.c_str(), &startup, &started))
            Fail("telvorn.exe starts (" + Folders().program + ")");
        CloseHandle(started.hThread);
        process.reset(started.hProcess);
        processId = started.dwProcessId;
    }
    ~TelvornProcess() {
        if (TerminateProcess(process.get(), 1)) WaitForSingleObject(process.get(), 5000);
    }

    HANDLE Process() const { return process.get(); }

    HWND MainWindow() {
        if (!IsWindow(mainWindow)) mainWindow = WaitForWindow([](HWND) { return true; }, "TELVORN");
        return Required(mainWindow, "a visible window of class TELVORN appears");
    }

    // Sent as the menu does, without waiting inside a modal window it opens,
    // and so before a later ShowsNothingMore's message.
    void Command(int id) { SendNotifyMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Drops the files on the main window as Explorer does, a DROPFILES of
    // wide names, written into the program's own memory, where the window's
    // DragQueryFile reads it as a fixed global block.
    void Drop(const std::vector<std::string>& files) {
        std::wstring names;
        for (const std::string& file : files) names += Utf8Path(file).native() + L'\0';
        const DROPFILES header{sizeof header, {}, FALSE, TRUE};
        std::vector<char> bytes(sizeof header + (names.size() + 1) * sizeof(wchar_t));
        std::memcpy(bytes.data(), &header, sizeof header);
        std::memcpy(bytes.data() + sizeof header, names.c_str(), (names.size() + 1) * sizeof(wchar_t));
        void* const drop = VirtualAllocEx(process.get(), nullptr, bytes.size(), MEM_COMMIT, PAGE_READWRITE);
        if (drop == nullptr || !WriteProcessMemory(process.get(), drop, bytes.data(), bytes.size(), nullptr))
            Fail("the dropped files can be written into the program's memory");
        PostMessageA(MainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }

    std::vector<HWND> Windows(const char* className = "#32770") const {
        std::vector<HWND> found;
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window)) found.push_back(window);
        }
        return found;
    }

    HWND WaitForWindow(const std::function<bool(HWND)>& wanted, const char* className = "#32770") const {
        HWND found = nullptr;
        WaitUntil([&] {
            for (const HWND window : Windows(className))
                if (wanted(window)) found = window;
            return found != nullptr;
        });
        return found;
    }
    HWND WaitForDialog(const std::string& caption) const {
        return WaitForWindow([&](HWND window) { return WindowText(window) == caption; });
    }

    // True when, every message sent so far handled (in order, once the program
    // asks for messages again, in its main loop or a modal window's), no dialog
    // shows and the main window takes input.
    bool ShowsNothingMore() {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, WindowTimeout, &result) != 0 &&
               Windows().empty() && IsWindowEnabled(mainWindow);
    }

    // False when the window cannot be made the active foreground window.
    bool PressKeys(HWND window, const std::vector<WORD>& keys, bool alt = false) const {
        // Brought forward only when it is not, lest a dropped-down menu close.
        if (GetForegroundWindow() != window) SetForegroundWindow(window);
        const bool active =
            WaitUntil([&] { return GetForegroundWindow() == window && ThreadOf(window).hwndActive == window; }, 3000);
        const auto send = [](WORD key, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki = {key, static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0u, 0, 0};
            SendInput(1, &input, sizeof input);
            Sleep(20);  // one keystroke after the other, as typed
        };
        if (active) WaitForInputIdle(process.get(), 2000);
        for (const WORD key : active ? keys : std::vector<WORD>{}) {
            if (alt) send(VK_MENU, false);
            send(key, false);
            send(key, true);
            if (alt) send(VK_MENU, true);
            WaitForInputIdle(process.get(), 2000);
        }
        return active;
    }

    // Waited for; STILL_ACTIVE while the program runs on.
    DWORD ExitCode() {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(process.get(), WindowTimeout);
        GetExitCodeProcess(process.get(), &code);
        return code;
    }

private:
    ::Handle process{nullptr, &CloseHandle};
    DWORD processId = 0;
    HWND mainWindow = nullptr;
};

// Expects the dialog owned by the main window, modal and without a system
// menu; Esc to leave it open, then OK (or Enter) to close it, and nothing to follow.
inline void ExpectModalClosesByOkOrEnter(TelvornProcess& program, HWND dialog, bool byEnter) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.MainWindow()) << "the dialog is owned by the main window";
    EXPECT_FALSE(IsWindowEnabled(program.MainWindow())) << "the dialog is modal: the main window is disabled";
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0) << "no system menu or close box";
    // A Tab typed after Esc comes later from the same input queue: once it has
    // moved the focus on from where the driver put it, Esc has been handled.
    const HWND parked = GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDLAST);
    ASSERT_TRUE(program.PressKeys(dialog, {})) << "the dialog comes to the front";
    SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(parked), TRUE, SMTO_ABORTIFHUNG, 5000, nullptr);
    ASSERT_EQ(ThreadOf(dialog).hwndFocus, parked) << "the focus can be put on the dialog's last control";
    ASSERT_TRUE(program.PressKeys(dialog, {VK_ESCAPE, VK_TAB})) << "the dialog takes the keyboard";
    ASSERT_TRUE(WaitUntil([&] { return ThreadOf(dialog).hwndFocus != parked; })) << "Tab moves the focus on";
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc leaves the dialog open";
    if (byEnter)
        EXPECT_TRUE(program.PressKeys(dialog, {VK_RETURN})) << "the dialog takes the keyboard";
    else
        ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog)) << (byEnter ? "Enter" : "OK") << " closes the dialog";
    EXPECT_TRUE(program.ShowsNothingMore()) << "nothing follows, and the main window takes input again";
}

struct ExamineKind {
    int command;
    const char* dialogTitle, *kindName;  // kindName: as the error text and results title name it
};
inline const ExamineKind MapKind{IDM_EXAMINE_MAP, "Select MAP to Load:", "Map"};
inline const ExamineKind ScenarioKind{IDM_EXAMINE_SCENARIO, "Select Scenario to Load:", "Scenario"};

constexpr const char* UnsupportedVersion = "File is from unsupported version of Corvanta.";

inline HWND OpenFileDialog(TelvornProcess& program, const ExamineKind& kind) {
    program.Command(kind.command);
    return Required(program.WaitForDialog(kind.dialogTitle), std::string("the file dialog opens: ") + kind.dialogTitle);
}

// Gives the next dialog: the error box, a results dialog or the file dialog's own warning.
inline HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath) {
    // The edit control inside the file name combo box (cmb13), where a user types.
    HWND edit = GetDlgItem(fileDialog, cmb13);
    while (edit != nullptr && ClassNameOf(edit) != "Edit" && GetWindow(edit, GW_CHILD) != nullptr)
        edit = GetWindow(edit, GW_CHILD);
    SetWindowTextA(edit, nameOrPath.c_str());
    ClickButton(fileDialog, IDOK);
    return Required(program.WaitForWindow([&](HWND dialog) { return dialog != fileDialog; }),
                    "a window answers the choice of " + nameOrPath);
}

// As the program lower-cases chosen paths.
inline std::string LowerCased(std::string text) {
    LowerCaseAscii(text);
    return text;
}

inline void ExpectFileError(TelvornProcess& program, HWND box, const ExamineKind& kind, const std::string& path,
                            const std::string& reason) {
    EXPECT_EQ(WindowText(box), "File Error!");
    EXPECT_EQ(ControlText(box, MessageBoxTextId),
              std::string("Error loading ") + kind.kindName + " file\n" + LowerCased(path) + "\n" + reason);
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.MainWindow()) << "the message box is owned by the main window";
    EXPECT_TRUE(GetDlgItem(box, IDOK) != nullptr && GetDlgItem(box, IDCANCEL) == nullptr) << "one OK button";
    ClickButton(box, IDOK);
    EXPECT_TRUE(WaitUntilClosed(box)) << "OK closes the message box";
    EXPECT_TRUE(program.ShowsNothingMore()) << "no results dialog or second message follows the error";
}

inline std::string FixturePath(const std::string& name) { return Folders().files + "\\" + name; }

// With the folders it lies in.
inline void RequireWritten(const std::string& path, const filemaker::GameFile& file) {
    std::filesystem::create_directories(Utf8Path(path).parent_path());
    Required(filemaker::WriteBytes(path, filemaker::Build(file)), "the game file can be written: " + path);
}

// 4 rows by 5 clear columns, no wrap, three cities of efficiencies 50, 50
// and 51 with specialties 3, 3 and 12; as a map, or as a scenario with no units.
inline filemaker::GameFile SmallFile(bool scenario, int version = 1) {
    const filemaker::MapLayout layout = filemaker::MapFromText({"LLLLL", "LLLLL", "LLLLL", "LLLLL"});
    const std::vector<filemaker::City> cities = {{50, 3}, {50, 3}, {51, 12}};
    filemaker::GameFile file = scenario ? filemaker::ScenarioFile(layout, cities, {}) : filemaker::MapFile(layout, cities);
    file.version = static_cast<uint8_t>(version);
    return file;
}
inline filemaker::GameFile SmallMap(int version = 1) { return SmallFile(false, version); }
