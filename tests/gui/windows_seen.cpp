// What a user sees of the program's windows and does to them, through the
// platform: texts, keys, buttons, pictures, and the program's run itself.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/gui/gui_driver.h"

const DriverFolders& Folders() {
    static const DriverFolders folders = [] {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string bin = self;
        bin.erase(bin.rfind('\\'));
        const std::string work = bin.substr(0, bin.rfind('\\'));
        return DriverFolders{work, bin + "\\telvorn.exe", work + "\\run", work + "\\files", work + "\\screenshots"};
    }();
    return folders;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeout) return false;
        Sleep(50);
    }
}

std::string WindowText(HWND window) {
    // Sent: for another process's window GetWindowTextA gives only a caption
    // that the system holds; the system carries WM_GETTEXT's buffer across.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::string text(length + 1, '\0');
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &length))
        return {};
    text.resize(strnlen(text.c_str(), text.size()));
    return text;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string ControlText(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? WindowText(control) : std::string();
}

bool WaitUntilClosed(HWND window) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

bool PressKeys(HWND window, const std::vector<KeyPress>& keys) {
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    // Brought forward only when it is not, lest a dropped-down menu close; the
    // keys wait until the window's own thread has made it its active window.
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    const bool active = WaitUntil(
        [&] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            return GetForegroundWindow() == window && GetGUIThreadInfo(threadId, &thread) &&
                   thread.hwndActive == window;
        },
        3000);
    const auto send = [](WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof input);
        Sleep(20);  // one keystroke after the other, as typed
    };
    if (active && process != nullptr) WaitForInputIdle(process, 2000);
    for (const KeyPress& press : active ? keys : std::vector<KeyPress>{}) {
        if (press.alt) send(VK_MENU, false);
        send(press.key, false);
        send(press.key, true);
        if (press.alt) send(VK_MENU, true);
        if (process != nullptr) WaitForInputIdle(process, 2000);
    }
    if (process != nullptr) CloseHandle(process);
    return active;
}

namespace {

HWND FocusOfThread(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread.hwndFocus;
}

}  // namespace

void ExpectEscLeavesOpen(HWND dialog) {
    // Were Esc to close the dialog, it would at once. A Tab typed after it
    // comes later from the same input queue, so once the Tab has moved the
    // focus on from the control where the driver put it, Esc has been handled.
    const HWND parked = GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDLAST);
    ASSERT_TRUE(PressKeys(dialog, {})) << "the dialog comes to the front";
    SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(parked), TRUE, SMTO_ABORTIFHUNG, 5000, nullptr);
    ASSERT_EQ(FocusOfThread(dialog), parked) << "the focus can be put on the dialog's last control";
    ASSERT_TRUE(PressKeys(dialog, {{VK_ESCAPE, false}, {VK_TAB, false}})) << "the dialog takes the keyboard";
    ASSERT_TRUE(WaitUntil([&] { return FocusOfThread(dialog) != parked; })) << "Tab moves the focus on";
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc leaves the dialog open";
}

void ClickButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (button != nullptr) PostMessageA(button, BM_CLICK, 0, 0);
}

void SaveScreenshot(HWND window, const std::string& name) {
    RECT area{};
    if (!GetWindowRect(window, &area)) return;
    Sleep(400);  // lets the program finish painting what just opened
    // Bottom-up rows of 24-bit BGR padded to four bytes, as a BMP stores them.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, area.right - area.left, area.bottom - area.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    info.bmiHeader.biSizeImage = static_cast<DWORD>(((info.bmiHeader.biWidth * 3 + 3) & ~3) * info.bmiHeader.biHeight);
    void* pixels = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = bitmap != nullptr && BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight,
                                                    screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof file + sizeof info.bmiHeader};  // "BM"
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    if (copied) {  // otherwise the harness misses the picture
        std::ofstream out(Folders().screenshots + "\\" + name + ".bmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(pixels), info.bmiHeader.biSizeImage);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TelvornProcess::TelvornProcess() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"" + Folders().program + "\"";
    if (!CreateProcessA(Folders().program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Folders().run.c_str(), &startup, &started))
        Fail("telvorn.exe starts (" + Folders().program + ")");
    CloseHandle(started.hThread);
    process = started.hProcess;
    processId = started.dwProcessId;
}

TelvornProcess::~TelvornProcess() {
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

HWND TelvornProcess::MainWindow() {
    if (mainWindow == nullptr || !IsWindow(mainWindow))
        WaitUntil([&] {
            const std::vector<HWND> windows = Windows("TELVORN");
            mainWindow = windows.empty() ? nullptr : windows.front();
            return mainWindow != nullptr;
        });
    return Required(mainWindow, "a visible window of class TELVORN appears");
}

void TelvornProcess::Command(int id) {
    // Sent without waiting, so that it comes before a later HandledAllSoFar's
    // message and the driver never waits inside a modal window it opens.
    SendNotifyMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::vector<HWND> TelvornProcess::Windows(const char* className) const {
    struct Search {
        DWORD processId;
        const char* className;
        std::vector<HWND> found;
        static BOOL CALLBACK Collect(HWND window, LPARAM parameter) {
            auto& search = *reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.processId && IsWindowVisible(window) && ClassNameOf(window) == search.className)
                search.found.push_back(window);
            return TRUE;
        }
    } search{processId, className, {}};
    EnumWindows(Search::Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TelvornProcess::WaitForDialog(const std::string& caption) const {
    HWND dialog = nullptr;
    WaitUntil([&] {
        for (const HWND window : Windows())
            if (WindowText(window) == caption) dialog = window;
        return dialog != nullptr;
    });
    return dialog;
}

bool TelvornProcess::ShowsNothingMore() {
    // Sent messages are handled in order, and only once the program's thread
    // asks for messages again: in its main loop, or in the loop of a modal
    // window that it has already made. So once this one comes back, whatever
    // the earlier ones open is open.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, WindowTimeout, &result) != 0 &&
           Windows().empty() && IsWindowEnabled(mainWindow);
}

bool TelvornProcess::WaitForExit(DWORD& exitCode) {
    return WaitForSingleObject(process, WindowTimeout) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process, &exitCode) != 0;
}
