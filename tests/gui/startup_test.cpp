// Start-up and shutdown: the main window, its menu, the picture, and the
// three ways of ending the program.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/gui/driver_settings.h"
#include "tests/gui/gui_check.h"
#include "tests/gui/screenshot.h"
#include "tests/gui/telvorn_process.h"
#include "tests/gui/windows_seen.h"
#include "ui/resources/resource.h"

namespace {

constexpr int PictureWidth = 640;
constexpr int PictureHeight = 480;

HWND RequireMainWindow(Check& check, TelvornProcess& program) {
    check.Require(program.Started(), "telvorn.exe starts (" + driverSettings.program + ")");
    const HWND window = program.MainWindow();
    check.Require(window != nullptr, "a visible window of class TELVORN appears");
    return window;
}

void ExpectEndsWithExitCodeZero(Check& check, TelvornProcess& program, const std::string& how) {
    DWORD exitCode = 1;
    if (check.Expect(program.WaitForExit(exitCode), how + " ends the process"))
        check.Expect(exitCode == 0, how + " gives exit code 0, not " + std::to_string(exitCode));
}

struct MenuItemSeen {
    std::string text;
    int id;  // -1 for a pop-up, 0 for a separator
    bool separator;
};

std::vector<MenuItemSeen> MenuItems(HMENU menu) {
    std::vector<MenuItemSeen> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
        items.push_back({text, static_cast<int>(GetMenuItemID(menu, position)), (info.fType & MFT_SEPARATOR) != 0});
    }
    return items;
}

std::string Describe(const std::vector<MenuItemSeen>& items) {
    std::string shown;
    for (const MenuItemSeen& item : items)
        shown += (shown.empty() ? "" : ", ") + (item.separator ? std::string("separator") : Quoted(item.text)) +
                 " " + std::to_string(item.id);
    return "[" + shown + "]";
}

// telvorn.exe loaded as data, for reading its resources.
class ProgramResources {
public:
    ProgramResources() : module(LoadLibraryExA(driverSettings.program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramResources() {
        if (module != nullptr) FreeLibrary(module);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;
    HMODULE Module() const { return module; }

private:
    HMODULE module;
};

// The picture as the program holds it, read from its own resources: pixels
// top-down as 0x00RRGGBB.
std::vector<uint32_t> ResourcePicture() {
    const ProgramResources resources;
    if (resources.Module() == nullptr) return {};
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageA(resources.Module(), MAKEINTRESOURCEA(IDB_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    std::vector<uint32_t> pixels(PictureWidth * PictureHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = PictureWidth;
    info.bmiHeader.biHeight = -PictureHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const int rows = bitmap != nullptr ? GetDIBits(screen, bitmap, 0, PictureHeight, pixels.data(), &info,
                                                   DIB_RGB_COLORS)
                                       : 0;
    ReleaseDC(nullptr, screen);
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (rows != PictureHeight) return {};
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

uint32_t AsRgb(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }

// True when the client pixel at (x, y) is a pixel of the picture near the
// place from which a whole-picture stretch over the client area takes it.
bool ShowsPicturePixel(HDC client, const std::vector<uint32_t>& picture, const RECT& area, int x, int y) {
    const COLORREF seen = GetPixel(client, x, y);
    if (seen == CLR_INVALID) return false;
    const int sourceX = x * PictureWidth / area.right;
    const int sourceY = y * PictureHeight / area.bottom;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int px = sourceX + dx;
            const int py = sourceY + dy;
            if (px < 0 || py < 0 || px >= PictureWidth || py >= PictureHeight) continue;
            if (picture[static_cast<size_t>(py * PictureWidth + px)] == AsRgb(seen)) return true;
        }
    return false;
}

}  // namespace

GUI_CASE(WindowTitleClassAndSize, "start-up: the window is titled Telvorn, of class TELVORN, 640 x 480 outside") {
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    check.ExpectText(WindowText(window), "Telvorn", "window title");
    check.ExpectText(ClassNameOf(window), "TELVORN", "window class");
    RECT outer{};
    GetWindowRect(window, &outer);
    check.Expect(outer.right - outer.left == 640 && outer.bottom - outer.top == 480,
                 "outer size is 640 x 480, not " + std::to_string(outer.right - outer.left) + " x " +
                     std::to_string(outer.bottom - outer.top));
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    check.Expect((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW,
                 "the window has caption, system menu, sizing frame, minimise and maximise boxes");
    check.Expect(FindWindowA("TELVORN", "Telvorn") != nullptr, "FindWindowA finds it by class and title");
}

GUI_CASE(MenuTextsAndIds, "start-up: the menu bar holds File and Instructions and Credits with their command ids") {
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    check.Expect(GetMenu(window) != nullptr, "the window has a menu bar");
    // Wine keeps a menu inside its process, so the driver reads the menu bar
    // that the window class names from the program's own resources; the
    // keyboard cases below show that the window's bar is that menu.
    const ProgramResources resources;
    const HMENU bar = resources.Module() != nullptr ? LoadMenuA(resources.Module(), MAKEINTRESOURCEA(IDM_MAIN_MENU))
                                                    : nullptr;
    check.Require(bar != nullptr, "telvorn.exe holds menu 109");
    const std::vector<MenuItemSeen> top = MenuItems(bar);
    check.Require(top.size() == 2, "the menu bar has two pop-ups: " + Describe(top));
    check.ExpectText(top[0].text, "&File", "first pop-up");
    check.ExpectText(top[1].text, "Instructions and Credits", "second pop-up");

    const std::vector<MenuItemSeen> file = MenuItems(GetSubMenu(bar, 0));
    const std::string fileSeen = Describe(file);
    if (check.Expect(file.size() == 4, "File holds four items: " + fileSeen)) {
        check.Expect(file[0].text == "Examine Map" && file[0].id == IDM_EXAMINE_MAP,
                     "File item 1 is \"Examine Map\" 129: " + fileSeen);
        check.Expect(file[1].text == "Examine Scenario" && file[1].id == IDM_EXAMINE_SCENARIO,
                     "File item 2 is \"Examine Scenario\" 130: " + fileSeen);
        check.Expect(file[2].separator, "File item 3 is a separator: " + fileSeen);
        check.Expect(file[3].text == "E&xit" && file[3].id == IDM_EXIT, "File item 4 is \"E&xit\" 105: " + fileSeen);
    }
    const std::vector<MenuItemSeen> help = MenuItems(GetSubMenu(bar, 1));
    const std::string helpSeen = Describe(help);
    check.Expect(help.size() == 1 && help[0].text == "Help and Credits" && help[0].id == IDM_HELP_AND_CREDITS,
                 "Instructions and Credits holds \"Help and Credits\" 132 alone: " + helpSeen);
    for (const HMENU menu : {GetSubMenu(bar, 0), GetSubMenu(bar, 1)})
        for (const MenuItemSeen& item : MenuItems(menu))
            check.Expect(item.separator || (GetMenuState(menu, static_cast<UINT>(item.id), MF_BYCOMMAND) &
                                            (MF_GRAYED | MF_DISABLED | MF_CHECKED)) == 0,
                         Quoted(item.text) + " is enabled and unchecked");
    DestroyMenu(bar);
}

// A walk through the menu from the keyboard: Alt+F drops File down, then
// each step's keys move in it, each waiting for its menu to show, until
// Enter chooses the item.
struct MenuWalk {
    const char* name;
    std::vector<KeyPress> moves;
    const char* dialogCaption;
};

const MenuWalk MenuWalks[] = {
    {"Alt+F, Right, Enter chooses Help and Credits", {{VK_RIGHT, false}}, "Instructions and Credits"},
};

// Presses the keys and waits until a drop-down menu shows that did not
// show before.
bool DropsDownNewMenu(TelvornProcess& program, HWND window, const std::vector<KeyPress>& keys) {
    const std::vector<HWND> before = program.Menus();
    if (!PressKeys(window, keys)) return false;
    return WaitUntil(
        [&] {
            for (const HWND menu : program.Menus())
                if (std::find(before.begin(), before.end(), menu) == before.end()) return true;
            return false;
        },
        3000);
}

void WalkMenu(Check& check, const MenuWalk& walk) {
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    check.Require(DropsDownNewMenu(program, window, {{'F', true}}), "Alt+F drops the File menu down");
    for (const KeyPress& move : walk.moves)
        if (move.key == VK_DOWN)
            check.Require(PressKeys(window, {move}), "the menu takes the key");
        else
            check.Require(DropsDownNewMenu(program, window, {move}), "the next menu drops down");
    check.Require(PressKeys(window, {{VK_RETURN, false}}), "the menu takes Enter");
    check.Expect(program.WaitForDialog(walk.dialogCaption) != nullptr,
                 std::string("the dialog \"") + walk.dialogCaption + "\" opens");
}

const bool MenuWalksRegistered = [] {
    for (const MenuWalk& walk : MenuWalks)
        GuiCaseRegistration(std::string("menu from the keyboard: ") + walk.name,
                            [&walk](Check& check) { WalkMenu(check, walk); });
    return true;
}();

namespace {

// Waits until every point of a grid over the client area shows the
// picture's pixel at its stretched place; the points missed otherwise.
std::string PictureMissedPoints(HWND window, const std::vector<uint32_t>& picture) {
    RECT area{};
    std::string missed;
    WaitUntil(
        [&] {
            GetClientRect(window, &area);
            std::vector<POINT> points;
            for (int i = 0; i < 8; ++i)
                for (int j = 0; j < 6; ++j)
                    points.push_back({area.right * (2 * i + 1) / 16, area.bottom * (2 * j + 1) / 12});
            points.push_back({1, 1});
            points.push_back({area.right - 2, area.bottom - 2});
            const HDC client = GetDC(window);
            missed.clear();
            for (const POINT& point : points)
                if (!ShowsPicturePixel(client, picture, area, point.x, point.y))
                    missed += " (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
            ReleaseDC(window, client);
            return missed.empty();
        },
        WindowTimeout);
    return missed;
}

std::vector<uint32_t> RequirePicture(Check& check) {
    const std::vector<uint32_t> picture = ResourcePicture();
    check.Require(!picture.empty(), "bitmap 131 can be read from telvorn.exe as 640 x 480");
    check.Expect(std::set<uint32_t>(picture.begin(), picture.end()).size() > 16,
                 "the picture is more than a plain background");
    return picture;
}

}  // namespace

GUI_CASE(PictureFillsClientArea, "start-up: the client area shows the picture, stretched whole over it") {
    const std::vector<uint32_t> picture = RequirePicture(check);
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    // The picture shows only once start-up is complete: the driver waits.
    const std::string missed = PictureMissedPoints(window, picture);
    check.Expect(missed.empty(), "every sampled client pixel is the picture's pixel at its stretched place; missed at" +
                                     missed);
    if (missed.empty()) SaveScreenshot(window, "main-window");
}

GUI_CASE(PictureStretchedWhenResized, "the picture is stretched afresh over the whole client area when it widens or heightens") {
    const std::vector<uint32_t> picture = RequirePicture(check);
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    check.Require(PictureMissedPoints(window, picture).empty(), "the picture shows at the start-up size");
    // One side at a time: the part of the client area that was there before
    // must be drawn again too, with the new proportions.
    for (const SIZE size : {SIZE{860, 480}, SIZE{860, 640}}) {
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT outer{};
        check.Require(WaitUntil(
                          [&] {
                              GetWindowRect(window, &outer);
                              return outer.right - outer.left == size.cx && outer.bottom - outer.top == size.cy;
                          },
                          WindowTimeout),
                      "the window takes the size " + std::to_string(size.cx) + " x " + std::to_string(size.cy));
        const std::string missed = PictureMissedPoints(window, picture);
        check.Expect(missed.empty(), "at " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                                         " every sampled pixel is the stretched picture's; missed at" + missed);
    }
}

GUI_CASE(ExitEndsProgram, "Exit (command 105) ends the process with exit code 0") {
    TelvornProcess program;
    RequireMainWindow(check, program);
    program.Command(IDM_EXIT);
    ExpectEndsWithExitCodeZero(check, program, "Exit");
}

GUI_CASE(CloseBoxClickEndsProgram, "a mouse click on the close box ends the process with exit code 0") {
    TelvornProcess program;
    const HWND window = RequireMainWindow(check, program);
    // The close box is where the window's own hit test says HTCLOSE, along
    // the middle of the caption.
    TITLEBARINFO titleBar{};
    titleBar.cbSize = sizeof titleBar;
    check.Require(GetTitleBarInfo(window, &titleBar) != FALSE, "the caption can be read");
    const RECT& caption = titleBar.rcTitleBar;
    POINT closeBox{-1, (caption.top + caption.bottom) / 2};
    for (int x = caption.right - 1; x > caption.left && closeBox.x < 0; --x) {
        DWORD_PTR hit = HTNOWHERE;
        SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, closeBox.y), SMTO_ABORTIFHUNG, 5000, &hit);
        if (hit == HTCLOSE) closeBox.x = x - 3;  // a few pixels inside its right edge
    }
    check.Require(closeBox.x >= 0, "the caption has a close box");
    check.Require(PressKeys(window, {}), "the window comes to the front");
    ClickAt(closeBox);
    ExpectEndsWithExitCodeZero(check, program, "the click on the close box");
}
