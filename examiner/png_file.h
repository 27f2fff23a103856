#pragma once

// PNG encoding for the examiner's pictures: libpng on Linux, the Windows
// Imaging Component on Windows (which ships with every Windows), behind one
// operation so that the picture is drawn the same way on both.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Encodes a width by height palette image into png: pixels holds one palette
// index per pixel, row after row from the top, and palette one red, green,
// blue triple per entry (at most 256). Returns nothing when encoded,
// otherwise why not, in the encoder's words; png is then unspecified.
std::optional<std::string> EncodePalettePng(int width, int height, std::span<const uint8_t> palette,
                                            std::span<const uint8_t> pixels, std::vector<uint8_t>& png);
