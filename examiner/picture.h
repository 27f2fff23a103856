#pragma once

// The picture of an examined map: its terrain and the masses that the count
// found, square by square, written as a PNG file.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/map_statistics.h"
#include "analysis/terrain_class.h"
#include "examiner/examination.h"

struct Rgb {
    uint8_t red, green, blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colours that every picture shares; PictureLegend tells what they mean.
constexpr Rgb BackgroundColour{255, 255, 255};
constexpr Rgb NeverScannedColour{160, 160, 160};
constexpr Rgb GivenUpColour{220, 20, 20};   // squares under OverflowLabel
constexpr Rgb UnlabelledColour{0, 0, 0};    // scanned squares left with NoLabel
constexpr Rgb MarkColour{255, 255, 255};    // the cross drawn over those two
constexpr std::array<Rgb, TerrainClassCount> TerrainColours{{
    {255, 212, 0},    // City: yellow
    {40, 100, 200},   // Water: blue
    {170, 215, 120},  // Clear: light green
    {30, 110, 40},    // Forest: dark green
    {130, 95, 70},    // Mountain: brown
    {110, 200, 240},  // River: light blue
    {200, 170, 110},  // Rough: tan
    {90, 70, 120},    // Edge: dark violet
}};
constexpr Rgb UnclassifiedColour{225, 60, 225};  // codes of no terrain class: magenta

// The shades that masses are painted in; masses near each other get different ones.
constexpr std::array<Rgb, 12> WaterMassColours{{
    {31, 78, 156}, {120, 180, 235}, {11, 47, 107}, {60, 127, 209},
    {170, 210, 245}, {42, 99, 184}, {90, 200, 220}, {22, 61, 128},
    {79, 149, 201}, {140, 150, 240}, {45, 120, 168}, {60, 60, 190},
}};
constexpr std::array<Rgb, 12> LandMassColours{{
    {63, 143, 47}, {165, 120, 64}, {124, 196, 90}, {107, 68, 35},
    {46, 107, 36}, {201, 166, 107}, {170, 220, 130}, {138, 90, 43},
    {86, 143, 60}, {216, 191, 138}, {77, 122, 30}, {176, 141, 87},
}};

// What the picture's panels, colours and marks mean; --help shows it.
extern const std::string_view PictureLegend;

// Where things lie in the picture of a map of rows by columns: each square a
// block of scale by scale pixels, the terrain panel on the left and the mass
// panel on the right, both starting at row top.
struct PictureLayout {
    int scale;
    int width, height;
    int terrainLeft, massesLeft, top;
};
PictureLayout PictureLayoutOf(int rows, int columns);

// Makes the picture folder, with the folders above it, when it does not
// exist yet. Returns nothing when it is a folder, otherwise why not.
std::optional<std::string> MakePictureFolder(const std::string& folder);

// Fails, without their being examined, the entries of the files that would
// share a picture in folder with a different file (one file named twice,
// a.map and ./a.map, shares it only with itself): each gets a reason that
// names the other file and the picture, and a hint. An entry that fails
// anyway leaves alone a picture that a file to examine has.
void FailSharedPictures(const std::string& folder, std::vector<FileToExamine>& files);

// Draws the picture of the map that header describes, with its terrain codes
// in squares and the labels that the mass labelling gave them in labels (both
// indexed row * columns + column; squares beyond either read as code 0 and
// NoLabel), and encodes it into png as a PNG file's bytes. Returns nothing
// when encoded, otherwise why not, in the encoder's words; png is then
// unspecified.
std::optional<std::string> EncodeMapPicture(const MapHeader& header, std::span<const uint8_t> squares,
                                            std::span<const uint8_t> labels, std::vector<uint8_t>& png);

// Writes to path the picture that EncodeMapPicture draws. Returns nothing
// when written, otherwise why not; no partly written file is left behind.
std::optional<std::string> WriteMapPicture(const std::string& path, const MapHeader& header,
                                           std::span<const uint8_t> squares, std::span<const uint8_t> labels);

// Writes or removes the picture in folder of an examined file, at its
// pictureName: for a successful examination the map that it carries, in the
// folders that its name gives (made as needed); for a failed one, the older
// picture of that name is removed, so that none is taken for the file's; an
// entry of no pictureName leaves the pictures alone. Returns nothing, or why
// the picture could not be written.
std::optional<std::string> UpdatePicture(const std::string& folder, const Examination& examination);
