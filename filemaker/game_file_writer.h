#pragma once

// Writes Corvanta game files: the project's own test data, samples and
// fixtures. Every field can be set, so that malformed files are as easy to
// make as sound ones.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace filemaker {

constexpr uint8_t ClearCode = 0;
constexpr uint8_t WaterCode = 2;

struct Chunk {
    std::string tag;  // four letters
    uint8_t number = 0;
    std::vector<uint8_t> data;
    std::array<uint8_t, 12> header{};  // the chunk's own header, handed on unread
    std::optional<uint32_t> offset;    // where its entry points; default: where it is written
    std::array<uint8_t, 3> entryPadding{};  // entry bytes 5 to 7
};

struct GameFile {
    std::string typeTag = "CMAP";
    uint8_t version = 1;
    uint8_t headerByte5 = 0;
    std::vector<Chunk> chunks;
    std::optional<uint32_t> directorySize;  // default: 12 bytes an entry
    std::optional<uint16_t> entryCount;     // default: one per chunk
};

// The file's bytes: the 26-byte headers, the directory, then each chunk's
// header and data in order.
std::vector<uint8_t> Build(const GameFile& file);

struct MapLayout {
    uint8_t rows = 0;
    uint8_t columns = 0;
    std::vector<uint8_t> squares;          // terrain codes, row by row
    std::optional<uint16_t> squareCount;   // default: squares.size()
    uint8_t wrapFlag = 0;
    uint8_t firstColumn = 0;
    std::optional<uint8_t> lastColumn;     // default: columns - 1
};

struct City {
    uint8_t productionEfficiency = 0;
    uint8_t specialty = 0;
};

using UnitTable = std::array<std::array<int32_t, 15>, 6>;

std::vector<uint8_t> MapChunkData(const MapLayout& map);
// The count defaults to the number of cities given.
std::vector<uint8_t> CityChunkData(const std::vector<City>& cities,
                                   std::optional<int16_t> count = std::nullopt);
std::vector<uint8_t> ScenarioChunkData(const UnitTable& units);

// A sound map file (MAPD and CITY) and a sound scenario file (MAPD, CITY, SCND).
GameFile MapFile(const MapLayout& map, const std::vector<City>& cities);
GameFile ScenarioFile(const MapLayout& map, const std::vector<City>& cities, const UnitTable& units);

// A map from rows of text: 'W' is water, every other letter land (Clear).
MapLayout MapFromText(const std::vector<std::string_view>& rows);

// Writes bytes to path (UTF-8 text, as the programs take paths); false when
// the file cannot be written.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace filemaker
