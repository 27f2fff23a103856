#include "analysis/map_statistics.h"

#include <algorithm>
#include <memory>
#include <new>

#include "analysis/examine_results.h"
#include "analysis/mass_labelling.h"
#include "analysis/terrain_class.h"
#include "gamefile/chunk_file.h"

std::array<uint8_t, MapSquaresSize> mapSquares;

namespace {

constexpr int CityRecordSize = 16;
constexpr int ProductionEfficiencyOffset = 7;
constexpr int SpecialtyOffset = 9;

void ResetMapFields(ExamineResults& results) {
    results.terrainCounts.fill(0);
    results.rows = 0;
    results.columns = 0;
    results.cityCount = 0;
    results.productionEfficiencySum = 0;
    results.wraps = 0;
    results.specialtyCounts.fill(0);
}

LoadStatus CountCities() {
    ChunkKey key = MakeChunkKey("CITY", 0);
    if (FindCurrentChunk(key) != 0) return LoadChunkUnreadable;

    uint8_t countBytes[2];
    if (ReadCurrentBytes(countBytes, sizeof countBytes) != 0) return LoadChunkUnreadable;
    const int16_t cityCount = static_cast<int16_t>(LittleEndianU16(countBytes));
    examineResults.cityCount = cityCount;
    if (cityCount == 0) return LoadSucceeded;
    // A negative count can be given no memory.
    if (cityCount < 0) return LoadNoCityMemory;

    const size_t recordBytes = static_cast<size_t>(cityCount) * CityRecordSize;
    const std::unique_ptr<uint8_t[]> records(new (std::nothrow) uint8_t[recordBytes]);
    if (!records) return LoadNoCityMemory;
    if (ReadCurrentBytes(records.get(), static_cast<uint32_t>(recordBytes)) != 0) return LoadChunkUnreadable;

    for (size_t offset = 0; offset < recordBytes; offset += CityRecordSize) {
        examineResults.productionEfficiencySum += records[offset + ProductionEfficiencyOffset];
        const uint8_t specialty = records[offset + SpecialtyOffset];
        if (specialty < SpecialtyCount) ++examineResults.specialtyCounts[specialty];
    }
    return LoadSucceeded;
}

}  // namespace

MapHeader DecodeMapHeader(const uint8_t* bytes) {
    MapHeader header;
    header.rows = bytes[0];
    header.columns = bytes[1];
    header.squareCount = LittleEndianU16(bytes + 2);
    header.wrapFlag = bytes[8];
    header.firstColumn = bytes[9];
    header.lastColumn = bytes[10];
    return header;
}

ScanBand ScanBandOf(const MapHeader& header) {
    return {1, header.rows - 2, header.firstColumn, std::min<int>(header.lastColumn, header.columns - 1)};
}

LoadStatus CollectMapStatistics() {
    MapHeader header;
    return CollectMapStatistics(header);
}

LoadStatus CollectMapStatistics(MapHeader& header) {
    mapSquares.fill(0);
    ResetMapFields(examineResults);

    ChunkKey key = MakeChunkKey("MAPD", 0);
    if (FindCurrentChunk(key) != 0) return LoadChunkUnreadable;
    uint8_t headerBytes[MapHeaderSize];
    if (ReadCurrentBytes(headerBytes, MapHeaderSize) != 0) return LoadChunkUnreadable;
    header = DecodeMapHeader(headerBytes);
    examineResults.columns = header.columns;
    examineResults.rows = header.rows;
    if (header.wrapFlag != 0) examineResults.wraps = 1;

    if (ReadCurrentBytes(mapSquares.data(), header.squareCount) != 0) return LoadChunkUnreadable;

    LabelMasses(header);

    for (int square = 0; square < header.squareCount; ++square) {
        const uint8_t code = mapSquares[square];
        if (HasTerrainClass(code))
            ++examineResults.terrainCounts[static_cast<int>(terrainClassTable[code])];
    }

    return CountCities();
}
