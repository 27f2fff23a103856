// Start-up and shutdown: the main window, its menu, the picture, Exit and
// the close box; and the instructions-and-credits dialog.

#include <algorithm>
#include <cstdint>
#include <set>

#include "tests/gui/gui_driver.h"

namespace {

constexpr int PictureWidth = 640, PictureHeight = 480;

// Text and id, or a pop-up's items in brackets; "-" for a separator.
std::string MenuSeen(HMENU menu) {
    std::string shown;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        const HMENU popUp = GetSubMenu(menu, position);
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        shown += position > 0 ? ", " : "";
        if (popUp == nullptr && (state & MF_SEPARATOR) != 0)
            shown += "-";
        else
            shown.append("\"").append(text).append("\" ")
                .append(popUp != nullptr ? std::string("[").append(MenuSeen(popUp)).append("]")
                                         : std::to_string(GetMenuItemID(menu, position)))
                .append((state & (MF_GRAYED | MF_CHECKED)) != 0 ? " (greyed or checked)" : "");
    }
    return shown;
}

// The picture as the program holds it, from its own resources: top-down COLORREFs.
std::vector<uint32_t> ResourcePicture(HMODULE program) {
    const HBITMAP bitmap = LoadBitmapA(program, MAKEINTRESOURCEA(IDB_PICTURE));
    std::vector<uint32_t> pixels(PictureWidth * PictureHeight);
    BITMAPINFO info{{sizeof info.bmiHeader, PictureWidth, -PictureHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, PictureHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (rows != PictureHeight) return {};
    for (uint32_t& pixel : pixels) pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));  // from 0xRRGGBB
    return pixels;
}

// Waits until a grid of points and two corners each show a pixel within two
// pixels of where a whole-picture stretch takes it from; gives those missed.
std::string PictureMissedPoints(HWND window, const std::vector<uint32_t>& picture) {
    std::string missed;
    WaitUntil([&] {
        RECT area{};
        GetClientRect(window, &area);
        std::vector<POINT> points = {{1, 1}, {area.right - 2, area.bottom - 2}};
        for (int i = 0; i < 48; ++i) points.push_back({area.right * (i % 8 * 2 + 1) / 16, area.bottom * (i / 8 * 2 + 1) / 12});
        const HDC client = GetDC(window);
        missed.clear();
        for (const POINT& point : points) {
            const COLORREF seen = GetPixel(client, point.x, point.y);
            const int sourceX = point.x * PictureWidth / area.right, sourceY = point.y * PictureHeight / area.bottom;
            bool found = false;
            for (int y = std::max(sourceY - 2, 0); y <= std::min(sourceY + 2, PictureHeight - 1); ++y)
                for (int x = std::max(sourceX - 2, 0); x <= std::min(sourceX + 2, PictureWidth - 1); ++x)
                    found |= picture[static_cast<size_t>(y * PictureWidth + x)] == seen;  // never CLR_INVALID
            if (!found) missed += " (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
        }
        ReleaseDC(window, client);
        return missed.empty();
    });
    return missed;
}

// Clicks, as a hand does, a few pixels inside the right edge of what the
// window's own hit test calls its close box along the caption's middle.
void ClickCloseBox(const TelvornProcess& program, HWND window) {
    TITLEBARINFO titleBar{};
    titleBar.cbSize = sizeof titleBar;
    ASSERT_TRUE(GetTitleBarInfo(window, &titleBar)) << "the caption can be read";
    const RECT& caption = titleBar.rcTitleBar;
    POINT closeBox{-1, (caption.top + caption.bottom) / 2};
    for (int x = caption.right - 1; x > caption.left && closeBox.x < 0; --x) {
        DWORD_PTR hit = HTNOWHERE;
        SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, closeBox.y), SMTO_ABORTIFHUNG, 5000, &hit);
        if (hit == HTCLOSE) closeBox.x = x - 3;
    }
    ASSERT_GE(closeBox.x, 0) << "the caption has a close box";
    ASSERT_TRUE(program.PressKeys(window, {})) << "the window comes to the front";
    SetCursorPos(closeBox.x, closeBox.y);
    for (const DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        Sleep(150);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi = {(closeBox.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN),
                    (closeBox.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN), 0,
                    MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button, 0, 0};
        SendInput(1, &input, sizeof input);
    }
}

}  // namespace

TEST(MainWindow, ShowsTitleClassMenuAndPictureAtAnySizeAndClosesByItsBox) {
    // telvorn.exe loaded as data, for reading its resources; kept until the driver ends.
    const HMODULE module = LoadLibraryExA(Folders().program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const std::vector<uint32_t> picture = ResourcePicture(module);
    ASSERT_FALSE(picture.empty()) << "bitmap 131 can be read from telvorn.exe as 640 x 480";
    EXPECT_GT(std::set<uint32_t>(picture.begin(), picture.end()).size(), 16u) << "more than a plain background";
    // Wine keeps a menu inside its process, so the driver reads the menu that
    // the window class names from the program's resources; the keyboard test
    // shows that the window's bar is that menu.
    const HMENU bar = LoadMenuA(module, MAKEINTRESOURCEA(IDM_MAIN_MENU));
    ASSERT_NE(bar, nullptr) << "telvorn.exe holds menu 109";
    EXPECT_EQ(MenuSeen(bar),
              "\"&File\" [\"Examine Map\" 129, \"Examine Scenario\" 130, -, \"E&xit\" 105], "
              "\"Instructions and Credits\" [\"Help and Credits\" 132]");
    DestroyMenu(bar);

    TelvornProcess program;
    const HWND window = program.MainWindow();
    EXPECT_EQ(WindowText(window), "Telvorn");
    EXPECT_EQ(ClassNameOf(window), "TELVORN");
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW)
        << "caption, system menu, sizing frame, minimise and maximise boxes";
    // One side at a time: the part that was there before must be drawn again too.
    for (const SIZE size : {SIZE{640, 480}, SIZE{860, 480}, SIZE{860, 640}}) {
        SCOPED_TRACE("outer size " + std::to_string(size.cx) + " x " + std::to_string(size.cy));
        if (size.cx != 640) SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT outer{};
        EXPECT_TRUE(WaitUntil([&] {
            GetWindowRect(window, &outer);
            return outer.right - outer.left == size.cx && outer.bottom - outer.top == size.cy;
        })) << "the window's outer size is " << outer.right - outer.left << " x " << outer.bottom - outer.top;
        const std::string missed = PictureMissedPoints(window, picture);
        EXPECT_EQ(missed, "") << "every sampled client pixel is the stretched picture's; these are not";
        if (size.cx == 640 && missed.empty()) SaveScreenshot(window, "main-window");
    }
    ClickCloseBox(program, window);
    EXPECT_EQ(program.ExitCode(), 0u) << "the click on the close box ends the program with exit code 0";
}

TEST(MainWindow, KeyboardMenuInstructionsDialogAndExit) {
    TelvornProcess program;
    const HWND window = program.MainWindow();
    // Each key drops a new menu down, waited for before the next key.
    for (const WORD key : {WORD{'F'}, WORD{VK_RIGHT}}) {
        const std::vector<HWND> before = program.Windows("#32768");
        const auto dropped = [&] {
            for (const HWND menu : program.Windows("#32768"))
                if (std::find(before.begin(), before.end(), menu) == before.end()) return true;
            return false;
        };
        ASSERT_TRUE(program.PressKeys(window, {key}, key == 'F') && WaitUntil(dropped, 3000))
            << (key == 'F' ? "Alt+F drops the File menu down" : "Right drops the next menu down");
    }
    ASSERT_TRUE(program.PressKeys(window, {VK_RETURN})) << "the menu takes Enter";
    for (const bool byEnter : {true, false}) {
        SCOPED_TRACE(byEnter ? "opened by the menu's keys, closed by Enter" : "opened by command 132, closed by OK");
        if (!byEnter) program.Command(IDM_HELP_AND_CREDITS);
        const HWND dialog = Required(program.WaitForDialog("Instructions and Credits"), "the instructions dialog opens");
        EXPECT_EQ(ControlText(dialog, IDC_VERSION_LINE), "Version 1.0 - May 25 2003");
        if (!byEnter) SaveScreenshot(dialog, "instructions-dialog");
        ExpectModalClosesByOkOrEnter(program, dialog, byEnter);
    }
    program.Command(IDM_EXIT);
    EXPECT_EQ(program.ExitCode(), 0u) << "Exit ends the program with exit code 0";
}
