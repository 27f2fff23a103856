#include "tests/gui/windows_seen.h"

#include <cstdio>

std::string WindowText(HWND window) {
    // Sent as WM_GETTEXT: for a window of another process GetWindowTextA
    // gives only a caption that the system holds, never an edit control's
    // text. The system carries WM_GETTEXT's buffer across processes.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
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

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsGroupBox(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    return ClassNameOf(control) == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeout) return false;
        Sleep(50);
    }
}

namespace {

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(20);  // one keystroke after the other, as typed
}

}  // namespace

bool PressKeys(HWND window, const std::vector<KeyPress>& keys) {
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    // Brought forward only when it is not: a menu that the keys dropped down
    // would close. The keys wait until the window's own thread has made it
    // its active window, as the platform activates a window in its own time.
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    const bool active = WaitUntil(
        [&] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            return GetForegroundWindow() == window && GetGUIThreadInfo(threadId, &thread) &&
                   thread.hwndActive == window;
        },
        3000);
    if (active) {
        if (process != nullptr) WaitForInputIdle(process, 2000);
        for (const KeyPress& press : keys) {
            if (press.alt) SendKey(VK_MENU, false);
            SendKey(press.key, false);
            SendKey(press.key, true);
            if (press.alt) SendKey(VK_MENU, true);
            // The next key waits until the program has taken this one.
            if (process != nullptr) WaitForInputIdle(process, 2000);
        }
    }
    if (process != nullptr) CloseHandle(process);
    return active;
}

bool PressKey(HWND window, WORD key) { return PressKeys(window, {{key, false}}); }

void ClickAt(POINT point) {
    // The move comes in the same batch as the button, so the click lands
    // where the pointer is sent, whenever the system takes the move.
    SetCursorPos(point.x, point.y);
    INPUT input[3]{};
    for (INPUT& each : input) each.type = INPUT_MOUSE;
    input[0].mi.dx = (point.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
    input[0].mi.dy = (point.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof input[0]);
}

void ClickButton(HWND dialog, int id) {
    // Posted, never sent: a click can open a modal window in the program,
    // and the driver must not wait inside it.
    const HWND button = GetDlgItem(dialog, id);
    if (button != nullptr) PostMessageA(button, BM_CLICK, 0, 0);
}

RECT ClientRectOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

std::string RectText(const RECT& rect) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}
