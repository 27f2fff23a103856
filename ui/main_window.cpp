#include "ui/main_window.h"

#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <type_traits>
#include <string>
#include <vector>

#include "examine/examine_path.h"
#include "ui/about_dialog.h"
#include "ui/examine_file.h"
#include "ui/game_folder.h"
#include "ui/resources/resource.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
std::array<char, 100> titleText{};
std::array<char, 100> classNameText{};
HBITMAP picture = nullptr;

namespace {

constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
constexpr int PictureWidth = 640;
constexpr int PictureHeight = 480;
constexpr int AcceleratorTable = 109;  // asked for, though the resources hold none

// A memory drawing context with one bitmap selected into it, for as long as
// it lives.
class MemoryContext {
public:
    MemoryContext(HDC compatibleWith, HBITMAP bitmap)
        : context(CreateCompatibleDC(compatibleWith)),
          previous(context != nullptr ? SelectObject(context, bitmap) : nullptr) {}
    ~MemoryContext() {
        if (context == nullptr) return;
        SelectObject(context, previous);
        DeleteDC(context);
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;

    HDC Get() const { return context; }

private:
    HDC context;
    HGDIOBJ previous;
};

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC paintContext = BeginPaint(window, &paint);
    PaintPicture(window, paintContext, picture, 0, 0);
    EndPaint(window, &paint);
    return 0;
}

LRESULT RunCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The notification code in the high word is not looked at, so a command
    // runs the same from whatever source it comes.
    switch (LOWORD(wParam)) {
        case IDM_EXIT:
            DestroyWindow(window);
            return 0;
        case IDM_EXAMINE_MAP:
            MapExaminationCommand();
            return 0;
        case IDM_EXAMINE_SCENARIO:
            ScenarioExaminationCommand();
            return 0;
        case IDM_HELP_AND_CREDITS:
            DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_INSTRUCTIONS), mainWindow, AboutDialogProc, 0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Runs what the user asked for, which returns the message's result. Only a
// text's storage can fail outside the examination, which reports its own
// lack of memory; no exception may leave through the window procedure.
template <typename Action>
LRESULT Guarded(Action action) {
    try {
        return action();
    } catch (const std::exception&) {
        // The reason is a literal, so it needs no memory and ends with its terminator.
        ShowFileError(LoadStatusReason(LoadNoMemory).data());
        return 0;
    }
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return RunCommand(window, message, wParam, lParam); });
}

// Files dropped on the window, examined one after the other once the drop is released.
LRESULT OnDropFiles(HDROP drop) {
    return Guarded([drop] {
        std::vector<std::string> files;
        {
            // The drop is released whatever happens, before any dialog opens.
            const std::unique_ptr<std::remove_pointer_t<HDROP>, decltype(&DragFinish)> held(drop, DragFinish);
            files.resize(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
            for (UINT i = 0; i < files.size(); ++i) {
                files[i].resize(DragQueryFileA(drop, i, nullptr, 0));
                DragQueryFileA(drop, i, files[i].data(), static_cast<UINT>(files[i].size() + 1));
            }
        }
        ExamineHandedFiles(files);
        return LRESULT{0};
    });
}

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TELVORN));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // nothing is erased under the picture
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN_MENU);
    windowClass.lpszClassName = classNameText.data();
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TELVORN));
    RegisterClassExA(&windowClass);
}

int CreateMainWindow(HINSTANCE instance, int showCommand) {
    appInstance = instance;
    mainWindow = CreateWindowExA(0, classNameText.data(), titleText.data(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 WindowWidth, WindowHeight, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) return 0;
    DragAcceptFiles(mainWindow, TRUE);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            return OnPaint(window);
        case WM_COMMAND:
            return OnCommand(window, message, wParam, lParam);
        case WM_DROPFILES:
            return OnDropFiles(reinterpret_cast<HDROP>(wParam));
        case WM_DESTROY:
            return OnDestroy();
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HBITMAP LoadBitmapResource(LPCSTR name, int width, int height) {
    if (name == nullptr) return nullptr;
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
}

void PaintPicture(HWND window, HDC paintContext, HBITMAP bitmap, int x, int y) {
    if (bitmap == nullptr) return;
    MemoryContext memory(paintContext, bitmap);
    if (memory.Get() == nullptr) return;

    BITMAP description{};
    GetObjectA(bitmap, sizeof description, &description);
    POINT size{description.bmWidth, description.bmHeight};
    DPtoLP(paintContext, &size, 1);
    POINT origin{0, 0};
    DPtoLP(memory.Get(), &origin, 1);

    RECT client;
    GetClientRect(window, &client);
    // When the picture shrinks, whole rows and columns are dropped; no
    // colours are blended.
    SetStretchBltMode(paintContext, COLORONCOLOR);
    StretchBlt(paintContext, x, y, client.right, client.bottom, memory.Get(), origin.x, origin.y, size.x, size.y,
               SRCCOPY);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    LoadStringA(instance, IDS_TITLE, titleText.data(), static_cast<int>(titleText.size()));
    LoadStringA(instance, IDS_CLASS_NAME, classNameText.data(), static_cast<int>(classNameText.size()));
    RegisterMainWindowClass(instance);
    if (!CreateMainWindow(instance, showCommand)) return 0;

    picture = LoadBitmapResource(MAKEINTRESOURCEA(IDB_PICTURE), PictureWidth, PictureHeight);
    LookUpGameFolder();

    // The resources hold no accelerator table: the handle stays empty and
    // every message goes on to translation and dispatch.
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(AcceleratorTable));
    InvalidateRect(mainWindow, nullptr, TRUE);
    // Files handed over on the command line (Open with, a file association, files dropped on the icon).
    Guarded([] {
        ExamineHandedFiles(std::vector<std::string>(__argv + 1, __argv + __argc));
        return LRESULT{0};
    });

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    if (picture != nullptr) DeleteObject(picture);
    return static_cast<int>(message.wParam);
}
