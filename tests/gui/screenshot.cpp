#include "tests/gui/screenshot.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "tests/gui/driver_settings.h"

namespace {

constexpr DWORD SettleTime = 400;  // lets the program finish painting what just opened

class ScreenContext {
public:
    ScreenContext() : context(GetDC(nullptr)) {}
    ~ScreenContext() {
        if (context != nullptr) ReleaseDC(nullptr, context);
    }
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;
    HDC Get() const { return context; }

private:
    HDC context;
};

// The pixels of a screen rectangle, bottom-up rows of 24-bit BGR padded to
// four bytes, as a BMP file stores them.
std::vector<uint8_t> ScreenPixels(const RECT& area, BITMAPINFOHEADER& header) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int rowBytes = (width * 3 + 3) & ~3;
    header.biSizeImage = static_cast<DWORD>(rowBytes * height);

    ScreenContext screen;
    if (screen.Get() == nullptr || width <= 0 || height <= 0) return {};
    const HDC memory = CreateCompatibleDC(screen.Get());
    const HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    std::vector<uint8_t> pixels(header.biSizeImage);
    BITMAPINFO info{};
    info.bmiHeader = header;
    const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    if (rows != height) pixels.clear();
    return pixels;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::string& name) {
    if (driverSettings.screenshotFolder.empty()) return true;
    Sleep(SettleTime);
    RECT area{};
    if (!GetWindowRect(window, &area)) return false;
    BITMAPINFOHEADER header;
    const std::vector<uint8_t> pixels = ScreenPixels(area, header);
    if (pixels.empty()) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(driverSettings.screenshotFolder + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}
