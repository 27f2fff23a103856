// telvorn-fuzz-seeds: writes the fuzzer's seed corpus into a folder, sound
// map and scenario files small enough to mutate quickly, each of them
// reaching a different part of the examination.

#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "filemaker/game_file_writer.h"

namespace {

using filemaker::City;
using filemaker::GameFile;
using filemaker::MapFromText;
using filemaker::MapLayout;

// Every class of terrain and a code past the class table, in a few squares.
MapLayout EveryTerrain() {
    MapLayout map = MapFromText({"LLLLL", "LWLWL", "LLWLL", "LLLLL"});
    const uint8_t codes[] = {34, 66, 98, 130, 162, 164, 200, 255};
    for (size_t square = 0; square < std::size(codes); ++square) map.squares[square * 2] = codes[square];
    return map;
}

// Single water squares apart from each other: more masses than there are labels.
MapLayout ScatteredWater(uint8_t side) {
    MapLayout map{side, side, std::vector<uint8_t>(size_t{side} * side, filemaker::ClearCode), {}, 0, 0, {}};
    for (int row = 1; row < side - 1; row += 2)
        for (int column = 0; column < side; column += 2) map.squares[row * side + column] = filemaker::WaterCode;
    return map;
}

std::vector<std::pair<std::string, GameFile>> Seeds() {
    MapLayout worked = MapFromText({"WWWWWW", "WLLWWW", "WLLWLW", "WWWWLW", "WWWWWW"});
    MapLayout wrapping = MapFromText({"LLLL", "WLLW", "WLLW", "LLLL"});
    wrapping.wrapFlag = 1;
    MapLayout banded = MapFromText({"WWWWWWWW", "WLWLWLWL", "LWLWLWLW", "WWWWWWWW"});
    banded.firstColumn = 2;
    banded.lastColumn = 5;
    MapLayout partial = ScatteredWater(255);  // a full-size header over fewer squares
    partial.squares.resize(4000);
    partial.squareCount = 4000;

    filemaker::UnitTable units{};
    for (size_t player = 0; player < units.size(); ++player)
        for (size_t entry = 0; entry < units[player].size(); ++entry)
            units[player][entry] = static_cast<int32_t>(player * 16 + entry);
    const std::vector<City> cities{{50, 3}, {71, 9}, {44, 13}, {90, 0}, {12, 14}};

    return {
        {"worked.map", filemaker::MapFile(worked, {})},
        {"every-terrain.map", filemaker::MapFile(EveryTerrain(), cities)},
        {"wrapping.map", filemaker::MapFile(wrapping, {{60, 5}})},
        {"banded.map", filemaker::MapFile(banded, {})},
        {"scattered.map", filemaker::MapFile(ScatteredWater(40), {})},
        {"partial.map", filemaker::MapFile(partial, {})},
        {"war.scn", filemaker::ScenarioFile(worked, cities, units)},
        {"empty.scn", filemaker::ScenarioFile(MapLayout{}, {}, {})},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: telvorn-fuzz-seeds FOLDER\n"
                     "Writes the fuzzer's seed map and scenario files into FOLDER.\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "telvorn-fuzz-seeds: cannot make the folder " << folder << ": " << error.message() << '\n';
        return 1;
    }
    for (const auto& [name, file] : Seeds()) {
        const std::string path = (folder / name).string();
        if (!filemaker::WriteBytes(path, filemaker::Build(file))) {
            std::cerr << "telvorn-fuzz-seeds: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
