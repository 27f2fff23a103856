#pragma once

#include <array>
#include <cstdint>
#include <string>

enum class FileKind : int32_t { Map = 0, Scenario = 1 };

// The record's own sizes, which the analysis fills it to.
constexpr int TerrainClassCount = 8;  // City, Water, Clear, Forest, Mountain, River, Rough, Edge
constexpr int SpecialtyCount = 14;    // specialty codes 0 to 13
constexpr int PlayerCount = 6;
constexpr int UnitCountsPerPlayer = 15;

// The figures of the current examination, written by the analysis steps and
// shown by the results dialog and the command-line examiner. It lives with
// the analysis that fills it, below everything that reads it.
struct ExamineResults {
    FileKind kind = FileKind::Map;
    std::string fileName;
    int32_t rows = 0;
    int32_t columns = 0;
    uint8_t wraps = 0;
    std::array<int32_t, TerrainClassCount> terrainCounts{};
    int16_t cityCount = 0;
    int32_t productionEfficiencySum = 0;
    std::array<int32_t, SpecialtyCount> specialtyCounts{};
    int32_t waterMassCount = 0;
    int32_t landMassCount = 0;
    std::array<std::array<int32_t, UnitCountsPerPlayer>, PlayerCount> playerUnits{};
};

// The one record of the program's run.
extern ExamineResults examineResults;
