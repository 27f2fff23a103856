#include "ui/system_text.h"

#include <windows.h>

std::string CorePath(const std::string& systemText) {
    if (GetACP() == CP_UTF8 || systemText.empty()) return systemText;
    const int textLength = static_cast<int>(systemText.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, systemText.data(), textLength, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, systemText.data(), textLength, wide.data(), static_cast<int>(wide.size()));
    const int wideLength = static_cast<int>(wide.size());
    std::string utf8(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                        nullptr);
    return utf8;
}
