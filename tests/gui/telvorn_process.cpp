#include "tests/gui/telvorn_process.h"

#include "tests/gui/driver_settings.h"
#include "tests/gui/windows_seen.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && ClassNameOf(window) == search.className)
        search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD processId, const char* className) {
    WindowSearch search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

TelvornProcess::TelvornProcess() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"" + driverSettings.program + "\"";
    if (!CreateProcessA(driverSettings.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        driverSettings.runFolder.c_str(), &startup, &started))
        return;
    CloseHandle(started.hThread);
    process = started.hProcess;
    processId = started.dwProcessId;
}

TelvornProcess::~TelvornProcess() {
    if (process == nullptr) return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

HWND TelvornProcess::MainWindow(DWORD timeout) {
    if (mainWindow != nullptr && IsWindow(mainWindow)) return mainWindow;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows = VisibleWindows(processId, "TELVORN");
            if (!windows.empty()) mainWindow = windows.front();
            return mainWindow != nullptr;
        },
        timeout);
    return mainWindow;
}

void TelvornProcess::Command(int id) {
    if (MainWindow() != nullptr) PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::vector<HWND> TelvornProcess::Dialogs() const { return VisibleWindows(processId, "#32770"); }

std::vector<HWND> TelvornProcess::Menus() const { return VisibleWindows(processId, "#32768"); }

HWND TelvornProcess::WaitForDialog(const std::string& caption, DWORD timeout) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            for (const HWND window : Dialogs())
                if (WindowText(window) == caption) dialog = window;
            return dialog != nullptr;
        },
        timeout);
    return dialog;
}

HWND TelvornProcess::WaitForAnyDialog(DWORD timeout) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> dialogs = Dialogs();
            if (!dialogs.empty()) dialog = dialogs.front();
            return dialog != nullptr;
        },
        timeout);
    return dialog;
}

bool TelvornProcess::WaitUntilClosed(HWND window, DWORD timeout) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

bool TelvornProcess::ShowsNothingMore() {
    const HWND window = MainWindow();
    if (window == nullptr) return false;
    // Something may still be on its way: watch for the whole quiet time.
    return !WaitUntil([&] { return !Dialogs().empty() || !IsWindowEnabled(window); }, QuietTime);
}

bool TelvornProcess::WaitForExit(DWORD& exitCode, DWORD timeout) {
    if (process == nullptr || WaitForSingleObject(process, timeout) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process, &exitCode) != 0;
}
