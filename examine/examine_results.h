#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/scenario_units.h"
#include "analysis/terrain_class.h"

enum class FileKind : int32_t { Map = 0, Scenario = 1 };

constexpr int SpecialtyCount = 14;

// The figures of the current examination, written by the analysis steps and
// shown by the results dialog and the command-line examiner.
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
