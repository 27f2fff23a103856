#pragma once

// Maps of the largest size shaped to load the mass labelling in different
// ways, for its tests and benchmarks. The band covers every column.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "filemaker/game_file_writer.h"

namespace filemaker {

constexpr int LargestSide = 255;

// A map of the largest size whose square (row, column) is water when isWater says so.
template <typename IsWater>
MapLayout Drawn(IsWater isWater) {
    MapLayout map{LargestSide, LargestSide, std::vector<uint8_t>(LargestSide * LargestSide, ClearCode), {}, 0, 0, {}};
    for (int row = 0; row < LargestSide; ++row)
        for (int column = 0; column < LargestSide; ++column)
            if (isWater(row, column)) map.squares[row * LargestSide + column] = WaterCode;
    return map;
}

// Land only: one mass, nothing to merge or give up.
MapLayout FlatMap();
// Each square water with the given chance, from a fixed seed.
MapLayout NoiseMap(uint32_t seed, int waterPercent);
// Water squares that touch nothing, on every other square of every other
// row: once the count is full, nearly every one gives up a label.
MapLayout IsolatedWaterMap();
// Rows of single water squares joined by a water row below them, then rows
// of single land squares joined by a land row: a merge on every other
// square of the joining rows.
MapLayout StripesAndBarsMap();
// Water teeth the whole height of the band, joined only in its last row.
MapLayout CombMap();

// All of the above by name, the noise at half water.
std::vector<std::pair<std::string, MapLayout>> CraftedMaps();

}  // namespace filemaker
