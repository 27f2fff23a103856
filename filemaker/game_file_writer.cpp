#include "filemaker/game_file_writer.h"

#include <algorithm>
#include <fstream>

#include "gamefile/utf8_path.h"

namespace filemaker {
namespace {

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutTag(std::vector<uint8_t>& bytes, size_t at, std::string_view tag) {
    for (size_t i = 0; i < 4 && i < tag.size(); ++i) bytes[at + i] = static_cast<uint8_t>(tag[i]);
}

}  // namespace

std::vector<uint8_t> Build(const GameFile& file) {
    constexpr size_t DirectoryStart = 26;
    constexpr size_t EntrySize = 12;
    const size_t entriesSize = file.chunks.size() * EntrySize;
    std::vector<uint8_t> bytes(DirectoryStart + entriesSize, 0);
    PutTag(bytes, 0, file.typeTag);
    bytes[4] = file.version;
    bytes[5] = file.headerByte5;
    PutU32(bytes, 20, file.directorySize.value_or(static_cast<uint32_t>(entriesSize)));
    PutU16(bytes, 24, file.entryCount.value_or(static_cast<uint16_t>(file.chunks.size())));

    for (size_t i = 0; i < file.chunks.size(); ++i) {
        const Chunk& chunk = file.chunks[i];
        const size_t entry = DirectoryStart + i * EntrySize;
        const size_t position = bytes.size();
        PutTag(bytes, entry, chunk.tag);
        bytes[entry + 4] = chunk.number;
        for (size_t k = 0; k < 3; ++k) bytes[entry + 5 + k] = chunk.entryPadding[k];
        PutU32(bytes, entry + 8, chunk.offset.value_or(static_cast<uint32_t>(position)));
        bytes.insert(bytes.end(), chunk.header.begin(), chunk.header.end());
        bytes.insert(bytes.end(), chunk.data.begin(), chunk.data.end());
    }
    return bytes;
}

std::vector<uint8_t> MapChunkData(const MapLayout& map) {
    constexpr size_t HeaderSize = 12;
    std::vector<uint8_t> data(HeaderSize + map.squares.size(), 0);
    data[0] = map.rows;
    data[1] = map.columns;
    PutU16(data, 2, map.squareCount.value_or(static_cast<uint16_t>(map.squares.size())));
    data[8] = map.wrapFlag;
    data[9] = map.firstColumn;
    data[10] = map.lastColumn.value_or(static_cast<uint8_t>(map.columns - 1));
    std::copy(map.squares.begin(), map.squares.end(), data.begin() + HeaderSize);
    return data;
}

std::vector<uint8_t> CityChunkData(const std::vector<City>& cities, std::optional<int16_t> count) {
    constexpr size_t RecordSize = 16;
    std::vector<uint8_t> data(2 + cities.size() * RecordSize, 0);
    PutU16(data, 0, static_cast<uint16_t>(count.value_or(static_cast<int16_t>(cities.size()))));
    for (size_t i = 0; i < cities.size(); ++i) {
        const size_t record = 2 + i * RecordSize;
        data[record + 7] = cities[i].productionEfficiency;
        data[record + 9] = cities[i].specialty;
    }
    return data;
}

std::vector<uint8_t> ScenarioChunkData(const UnitTable& units) {
    std::vector<uint8_t> data(376, 0);
    size_t at = 4;
    for (const auto& player : units) {
        for (int32_t count : player) {
            PutU32(data, at, static_cast<uint32_t>(count));
            at += 4;
        }
    }
    return data;
}

GameFile MapFile(const MapLayout& map, const std::vector<City>& cities) {
    GameFile file;
    file.typeTag = "CMAP";
    file.chunks.push_back({"MAPD", 0, MapChunkData(map), {}, {}, {}});
    file.chunks.push_back({"CITY", 0, CityChunkData(cities), {}, {}, {}});
    return file;
}

GameFile ScenarioFile(const MapLayout& map, const std::vector<City>& cities, const UnitTable& units) {
    GameFile file = MapFile(map, cities);
    file.typeTag = "CSCN";
    file.chunks.push_back({"SCND", 0, ScenarioChunkData(units), {}, {}, {}});
    return file;
}

MapLayout MapFromText(const std::vector<std::string_view>& rows) {
    MapLayout map;
    map.rows = static_cast<uint8_t>(rows.size());
    map.columns = rows.empty() ? 0 : static_cast<uint8_t>(rows.front().size());
    for (std::string_view row : rows)
        for (char square : row) map.squares.push_back(square == 'W' ? WaterCode : ClearCode);
    return map;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace filemaker
