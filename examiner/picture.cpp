#include "examiner/picture.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "analysis/mass_labelling.h"
#include "examiner/png_file.h"
#include "gamefile/utf8_path.h"

namespace fs = std::filesystem;

const std::string_view PictureLegend =
    R"(
Pictures:
  left panel        the map's terrain, one square a block of pixels: City
                    yellow, Water blue, Clear light green, Forest dark green,
                    Mountain brown, River light blue, Rough tan, Edge dark
                    violet, and a terrain code of no class magenta
  right panel       its masses as counted: each water mass in a blue and each
                    land mass in a green or brown of its own, masses near each
                    other in different shades; grey: squares never scanned
                    (the first and the last row, and the columns outside the
                    band that the map's header names); red with a white cross:
                    squares of a mass given up once the count reached its
                    limit; black with a white cross: squares scanned but left
                    without a label
)";

namespace {

constexpr int Margin = 8;      // around the panels
constexpr int PanelGap = 16;   // between them
constexpr int PanelLimit = 780;  // pixels a panel may take in each direction
constexpr int MinScale = 3;
constexpr int MaxScale = 16;
constexpr int NearReach = 3;   // masses within this many squares count as near each other

// The palette's entries: the fixed colours, then the terrain colours, then
// the shades of the masses.
enum PaletteIndex : uint8_t {
    Background,
    NeverScanned,
    GivenUp,
    Unlabelled,
    Mark,
    FirstTerrain,
    Unclassified = FirstTerrain + TerrainClassCount,
    FirstWaterShade,
    FirstLandShade = FirstWaterShade + WaterMassColours.size(),
    PaletteSize = FirstLandShade + LandMassColours.size(),
};

constexpr std::array<Rgb, PaletteSize> Palette = [] {
    std::array<Rgb, PaletteSize> palette{};
    palette[Background] = BackgroundColour;
    palette[NeverScanned] = NeverScannedColour;
    palette[GivenUp] = GivenUpColour;
    palette[Unlabelled] = UnlabelledColour;
    palette[Mark] = MarkColour;
    std::ranges::copy(TerrainColours, palette.begin() + FirstTerrain);
    palette[Unclassified] = UnclassifiedColour;
    std::ranges::copy(WaterMassColours, palette.begin() + FirstWaterShade);
    std::ranges::copy(LandMassColours, palette.begin() + FirstLandShade);
    return palette;
}();

// The map as the picture reads it: squares and labels past their stores are
// the Clear land and the missing labels that the examination gives them.
struct MapView {
    int rows, columns;
    ScanBand band;
    std::span<const uint8_t> squares;
    std::span<const uint8_t> labels;

    size_t IndexOf(int row, int column) const { return static_cast<size_t>(row) * columns + column; }
    uint8_t Code(int row, int column) const {
        const size_t index = IndexOf(row, column);
        return index < squares.size() ? squares[index] : uint8_t{0};
    }
    uint8_t Label(int row, int column) const {
        const size_t index = IndexOf(row, column);
        return index < labels.size() ? labels[index] : NoLabel;
    }
    bool Scanned(int row, int column) const { return band.Contains(row, column); }
};

// A mass is known by its kind and its label: water masses first, then land.
constexpr int RegularLabels = OverflowLabel;
constexpr int MassKeys = 2 * RegularLabels;
using MassSet = std::bitset<MassKeys>;

std::optional<int> MassKey(const MapView& map, int row, int column) {
    if (!map.Scanned(row, column)) return std::nullopt;
    const uint8_t label = map.Label(row, column);
    if (label >= RegularLabels) return std::nullopt;
    return IsWaterCode(map.Code(row, column)) ? label : RegularLabels + label;
}

// The shade of each mass: masses in order of their first square, each in
// the next shade of its kind that no mass near it has taken, so that masses
// near each other (across the east-west seam too) tell apart.
std::array<uint8_t, MassKeys> MassShades(const MapView& map) {
    // Each square's mass, looked up once, as the neighbourhoods below read each square many times.
    constexpr int NoMass = -1;
    std::vector<int> keys(static_cast<size_t>(map.rows) * map.columns, NoMass);
    for (int row = 0; row < map.rows; ++row)
        for (int column = 0; column < map.columns; ++column)
            keys[map.IndexOf(row, column)] = MassKey(map, row, column).value_or(NoMass);

    std::vector<MassSet> near(MassKeys);
    std::vector<int> order;
    MassSet seen;
    for (int row = 0; row < map.rows; ++row) {
        for (int column = 0; column < map.columns; ++column) {
            const int key = keys[map.IndexOf(row, column)];
            if (key == NoMass) continue;
            if (!seen[key]) order.push_back(key);
            seen.set(key);
            for (int nearRow = std::max(row - NearReach, 0); nearRow <= std::min(row + NearReach, map.rows - 1);
                 ++nearRow) {
                for (int dx = -NearReach; dx <= NearReach; ++dx) {
                    int nearColumn = column + dx;
                    while (nearColumn < 0) nearColumn += map.columns;
                    while (nearColumn >= map.columns) nearColumn -= map.columns;
                    const int other = keys[map.IndexOf(nearRow, nearColumn)];
                    // Masses of different kinds tell apart by their colours anyway.
                    if (other != NoMass && other != key && (other < RegularLabels) == (key < RegularLabels))
                        near[key].set(other);
                }
            }
        }
    }

    std::array<uint8_t, MassKeys> shades{};
    std::array<bool, MassKeys> shaded{};
    std::array<int, 2> massesOfKind{};
    for (const int key : order) {
        const bool water = key < RegularLabels;
        const int first = water ? FirstWaterShade : FirstLandShade;
        const int shadeCount = static_cast<int>(water ? WaterMassColours.size() : LandMassColours.size());
        const int start = massesOfKind[water]++ % shadeCount;
        std::bitset<PaletteSize> takenNearby;
        for (int other = 0; other < MassKeys; ++other)
            if (near[key][other] && shaded[other]) takenNearby.set(shades[other]);
        shades[key] = static_cast<uint8_t>(first + start);  // when every shade is taken nearby
        for (int step = 0; step < shadeCount; ++step) {
            const uint8_t shade = static_cast<uint8_t>(first + (start + step) % shadeCount);
            if (!takenNearby[shade]) {
                shades[key] = shade;
                break;
            }
        }
        shaded[key] = true;
    }
    return shades;
}

uint8_t TerrainIndex(uint8_t code) {
    return HasTerrainClass(code) ? static_cast<uint8_t>(FirstTerrain + static_cast<int>(terrainClassTable[code]))
                                 : uint8_t{Unclassified};
}

struct Canvas {
    int width;
    std::vector<uint8_t> pixels;  // palette indices, row after row

    void FillSquare(int left, int top, int scale, uint8_t index) {
        for (int y = 0; y < scale; ++y)
            std::fill_n(pixels.begin() + static_cast<ptrdiff_t>(top + y) * width + left, scale, index);
    }
    // A cross inside the square, one pixel in from its sides (a dot at the smallest scale).
    void CrossSquare(int left, int top, int scale, uint8_t index) {
        for (int i = 1; i < scale - 1; ++i) {
            pixels[static_cast<size_t>(top + i) * width + left + i] = index;
            pixels[static_cast<size_t>(top + i) * width + left + scale - 1 - i] = index;
        }
    }
};

Canvas Draw(const MapView& map) {
    const PictureLayout layout = PictureLayoutOf(map.rows, map.columns);
    Canvas canvas{layout.width, std::vector<uint8_t>(static_cast<size_t>(layout.width) * layout.height, Background)};
    const std::array<uint8_t, MassKeys> shades = MassShades(map);
    const int scale = layout.scale;
    for (int row = 0; row < map.rows; ++row) {
        for (int column = 0; column < map.columns; ++column) {
            const int top = layout.top + row * scale;
            canvas.FillSquare(layout.terrainLeft + column * scale, top, scale, TerrainIndex(map.Code(row, column)));

            const int left = layout.massesLeft + column * scale;
            const uint8_t label = map.Label(row, column);
            if (!map.Scanned(row, column)) {
                canvas.FillSquare(left, top, scale, NeverScanned);
            } else if (label == OverflowLabel || label == NoLabel) {
                canvas.FillSquare(left, top, scale, label == OverflowLabel ? GivenUp : Unlabelled);
                canvas.CrossSquare(left, top, scale, Mark);
            } else {
                canvas.FillSquare(left, top, scale, shades[*MassKey(map, row, column)]);
            }
        }
    }
    return canvas;
}

}  // namespace

PictureLayout PictureLayoutOf(int rows, int columns) {
    const int scale = std::clamp(PanelLimit / std::max({rows, columns, 1}), MinScale, MaxScale);
    const int panelWidth = columns * scale;
    return {scale, 2 * Margin + 2 * panelWidth + PanelGap, 2 * Margin + rows * scale,
            Margin, Margin + panelWidth + PanelGap, Margin};
}

namespace {

// True when a and b name one file, however they are written (a.map and ./a.map).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error, errorA, errorB;
    if (fs::equivalent(Utf8Path(a), Utf8Path(b), error)) return true;
    const fs::path canonicalA = fs::weakly_canonical(Utf8Path(a), errorA);
    return !errorA && canonicalA == fs::weakly_canonical(Utf8Path(b), errorB) && !errorB;
}

}  // namespace

std::optional<std::string> MakePictureFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(Utf8Path(folder), error);
    if (!error && !fs::is_directory(Utf8Path(folder), error)) error = std::make_error_code(std::errc::not_a_directory);
    if (error) return Quoted(folder) + ": cannot make the picture folder (" + error.message() + ")";
    return std::nullopt;
}

void FailSharedPictures(const std::string& folder, std::vector<FileToExamine>& files) {
    std::map<std::string, std::vector<size_t>> toExamineOfPicture;  // the entries to examine, by picture
    for (size_t i = 0; i < files.size(); ++i)
        if (files[i].reason.empty()) toExamineOfPicture[files[i].pictureName].push_back(i);
    for (FileToExamine& file : files)
        if (!file.reason.empty() && toExamineOfPicture.contains(file.pictureName)) file.pictureName.clear();

    for (const auto& [pictureName, sharing] : toExamineOfPicture) {
        for (const size_t i : sharing) {
            const auto other = std::ranges::find_if(
                sharing, [&](size_t j) { return !SameFile(files[i].path, files[j].path); });
            if (other == sharing.end()) continue;
            files[i].reason = "would share the picture " + Quoted(Utf8Text(Utf8Path(folder) / Utf8Path(pictureName))) +
                              " with " + Quoted(files[*other].path);
            files[i].hint = "picture them in separate runs, or give a folder that holds both";
        }
    }
}

std::optional<std::string> EncodeMapPicture(const MapHeader& header, std::span<const uint8_t> squares,
                                            std::span<const uint8_t> labels, std::vector<uint8_t>& png) {
    const MapView map{header.rows, header.columns, ScanBandOf(header), squares, labels};
    const PictureLayout layout = PictureLayoutOf(map.rows, map.columns);
    const Canvas canvas = Draw(map);

    std::array<uint8_t, 3 * PaletteSize> colourMap{};
    for (size_t i = 0; i < Palette.size(); ++i) {
        colourMap[3 * i] = Palette[i].red;
        colourMap[3 * i + 1] = Palette[i].green;
        colourMap[3 * i + 2] = Palette[i].blue;
    }
    return EncodePalettePng(layout.width, layout.height, colourMap, canvas.pixels, png);
}

std::optional<std::string> WriteMapPicture(const std::string& path, const MapHeader& header,
                                           std::span<const uint8_t> squares, std::span<const uint8_t> labels) {
    std::vector<uint8_t> png;
    std::optional<std::string> failure = EncodeMapPicture(header, squares, labels, png);
    if (failure) return Quoted(path) + ": cannot write the picture (" + *failure + ")";

    errno = 0;
    std::ofstream file(Utf8Path(path), std::ios::binary | std::ios::trunc);
    if (!file.is_open()) return Quoted(path) + ": cannot write the picture (" + std::strerror(errno) + ")";
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    if (file) return std::nullopt;
    failure = std::strerror(errno);
    std::error_code ignored;
    fs::remove(Utf8Path(path), ignored);
    return Quoted(path) + ": cannot write the picture (" + *failure + ")";
}

std::optional<std::string> UpdatePicture(const std::string& folder, const Examination& examination) {
    if (examination.pictureName.empty()) return std::nullopt;
    const fs::path picture = Utf8Path(folder) / Utf8Path(examination.pictureName);
    const std::string path = Utf8Text(picture);
    std::error_code error;
    if (examination.status == LoadSucceeded) {
        fs::create_directories(picture.parent_path(), error);
        if (error) return Quoted(path) + ": cannot write the picture (" + error.message() + ")";
        return WriteMapPicture(path, examination.map.header, examination.map.squares, examination.map.labels);
    }
    fs::remove(picture, error);
    if (error) return Quoted(path) + ": cannot remove the older picture (" + error.message() + ")";
    return std::nullopt;
}
