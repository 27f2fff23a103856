#include "analysis/map_statistics.h"

#include <new>
#include <vector>

#include "analysis/mass_labelling.h"
#include "analysis/terrain_class.h"
#include "examine/examine_results.h"
#include "gamefile/chunk_file.h"

std::array<uint8_t, MapSquaresSize> mapSquares;
MapHeader mapHeader;

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

    std::vector<uint8_t> records;
    try {
        records.resize(static_cast<size_t>(cityCount) * CityRecordSize);
    } catch (const std::bad_alloc&) {
        return LoadNoCityMemory;
    }
    if (ReadCurrentBytes(records.data(), static_cast<uint32_t>(records.size())) != 0)
        return LoadChunkUnreadable;

    for (size_t offset = 0; offset < records.size(); offset += CityRecordSize) {
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

LoadStatus CollectMapStatistics() {
    mapSquares.fill(0);
    mapHeader = {};
    ResetMapFields(examineResults);

    ChunkKey key = MakeChunkKey("MAPD", 0);
    if (FindCurrentChunk(key) != 0) return LoadChunkUnreadable;
    uint8_t headerBytes[MapHeaderSize];
    if (ReadCurrentBytes(headerBytes, MapHeaderSize) != 0) return LoadChunkUnreadable;
    mapHeader = DecodeMapHeader(headerBytes);
    examineResults.columns = mapHeader.columns;
    examineResults.rows = mapHeader.rows;
    if (mapHeader.wrapFlag != 0) examineResults.wraps = 1;

    if (ReadCurrentBytes(mapSquares.data(), mapHeader.squareCount) != 0) return LoadChunkUnreadable;

    // Without its working memory the labelling leaves the counts of an earlier
    // file behind, so such figures must not be shown as this file's.
    if (LabelMasses(mapHeader) != 0) return LoadNoMemory;

    for (int square = 0; square < mapHeader.squareCount; ++square) {
        const uint8_t code = mapSquares[square];
        if (HasTerrainClass(code))
            ++examineResults.terrainCounts[static_cast<int>(terrainClassTable[code])];
    }

    return CountCities();
}
