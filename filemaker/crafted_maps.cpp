#include "filemaker/crafted_maps.h"

#include <random>

namespace filemaker {

MapLayout FlatMap() {
    return Drawn([](int, int) { return false; });
}

MapLayout NoiseMap(uint32_t seed, int waterPercent) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> percent(0, 99);
    return Drawn([&](int, int) { return percent(random) < waterPercent; });
}

MapLayout IsolatedWaterMap() {
    return Drawn([](int row, int column) { return row % 2 == 1 && column % 2 == 0; });
}

MapLayout StripesAndBarsMap() {
    // From row 1, in fours: water at even columns, water, land at odd columns, land.
    return Drawn([](int row, int column) {
        switch ((row - 1) % 4) {
            case 0: return column % 2 == 0;
            case 1: return true;
            case 2: return column % 2 == 0;
            default: return false;
        }
    });
}

MapLayout CombMap() {
    return Drawn([](int row, int column) { return row == LargestSide - 2 || (row > 0 && column % 2 == 0); });
}

std::vector<std::pair<std::string, MapLayout>> CraftedMaps() {
    return {{"flat", FlatMap()},
            {"noise", NoiseMap(1, 50)},
            {"isolated-water", IsolatedWaterMap()},
            {"stripes-and-bars", StripesAndBarsMap()},
            {"comb", CombMap()}};
}

}  // namespace filemaker
