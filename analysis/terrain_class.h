#pragma once

#include <array>
#include <cstdint>

#include "analysis/examine_results.h"

enum class TerrainClass : uint8_t { City, Water, Clear, Forest, Mountain, River, Rough, Edge };
static_assert(static_cast<int>(TerrainClass::Edge) + 1 == TerrainClassCount);

constexpr int ClassifiedTerrainCodes = 196;

// The class of each terrain code from 0 to 195; codes 196 to 255 have none.
constexpr std::array<TerrainClass, ClassifiedTerrainCodes> terrainClassTable = [] {
    std::array<TerrainClass, ClassifiedTerrainCodes> table{};
    auto fill = [&table](int first, int last, TerrainClass terrainClass) {
        for (int code = first; code <= last; ++code) table[code] = terrainClass;
    };
    fill(0, 1, TerrainClass::Clear);
    fill(2, 33, TerrainClass::Water);
    fill(34, 65, TerrainClass::Forest);
    fill(66, 97, TerrainClass::Rough);
    fill(98, 129, TerrainClass::Mountain);
    fill(130, 161, TerrainClass::River);
    fill(162, 163, TerrainClass::City);
    fill(164, 179, TerrainClass::Edge);
    fill(180, 187, TerrainClass::City);
    fill(188, 193, TerrainClass::Edge);
    fill(194, 195, TerrainClass::City);
    return table;
}();

// Whether a terrain code has a class at all (codes past the table count in none).
constexpr bool HasTerrainClass(uint8_t code) { return code < ClassifiedTerrainCodes; }

// Water for the mass labelling; every other code, unclassified ones included, is land.
constexpr bool IsWaterCode(uint8_t code) {
    return HasTerrainClass(code) && terrainClassTable[code] == TerrainClass::Water;
}
