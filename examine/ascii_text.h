#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Letter case by the ASCII rule: only A to Z and a to z change; every other
// byte, of any code page, stays as it is.

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Lower-cases the letters A to Z of text in place.
inline void LowerCaseAscii(std::string& text) { std::ranges::transform(text, text.begin(), AsciiLower); }

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}
