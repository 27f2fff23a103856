#include "tests/gui/game_fixtures.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "tests/gui/driver_settings.h"

namespace {

// One terrain code of each class.
constexpr uint8_t CityCode = 162;
constexpr uint8_t WaterCode = filemaker::WaterCode;
constexpr uint8_t ClearCode = filemaker::ClearCode;
constexpr uint8_t ForestCode = 34;
constexpr uint8_t MountainCode = 98;
constexpr uint8_t RiverCode = 130;
constexpr uint8_t RoughCode = 66;
constexpr uint8_t EdgeCode = 164;

void Append(std::vector<uint8_t>& squares, int count, uint8_t code) {
    for (int i = 0; i < count; ++i) squares.push_back(code);
}

filemaker::MapLayout FiguresSquares() {
    filemaker::MapLayout map;
    map.rows = 10;
    map.columns = 30;
    map.wrapFlag = 0x80;
    std::vector<uint8_t>& squares = map.squares;
    Append(squares, 30, ClearCode);   // row 0
    Append(squares, 90, WaterCode);   // rows 1 to 3
    Append(squares, 10, WaterCode);   // start of row 4
    Append(squares, 20, ClearCode);   // the rest of row 4
    Append(squares, 70, ClearCode);   // rows 5 to 9 ...
    Append(squares, 30, ForestCode);
    Append(squares, 20, MountainCode);
    Append(squares, 15, RiverCode);
    Append(squares, 10, RoughCode);
    Append(squares, 3, EdgeCode);
    Append(squares, 2, CityCode);
    return map;
}

std::vector<filemaker::City> FiguresCities() {
    std::vector<filemaker::City> cities;
    for (uint8_t specialty = 3; specialty <= 12; ++specialty)
        for (int i = 0; i < specialty - 2; ++i) cities.push_back({100, specialty});
    for (const uint8_t specialty : {0, 1, 2, 13, 20}) cities.push_back({100, specialty});
    cities.back().productionEfficiency = 255;
    return cities;
}

filemaker::MapLayout SmallClearMap() {
    return filemaker::MapFromText({"LLLLL", "LLLLL", "LLLLL", "LLLLL"});
}

}  // namespace

std::string FixturePath(const std::string& name) { return driverSettings.filesFolder + "\\" + name; }

bool WriteFixture(const std::string& path, const filemaker::GameFile& file) {
    return filemaker::WriteBytes(path, filemaker::Build(file));
}

filemaker::GameFile FiguresMap() { return filemaker::MapFile(FiguresSquares(), FiguresCities()); }

filemaker::GameFile ThreeCitiesMap() { return filemaker::MapFile(SmallClearMap(), {{50, 3}, {50, 3}, {51, 12}}); }

filemaker::GameFile CitylessMap() { return filemaker::MapFile(SmallClearMap(), {}); }

filemaker::GameFile SeparateSquaresMap(int count, bool waterInLand) {
    const uint8_t around = waterInLand ? ClearCode : WaterCode;
    const uint8_t single = waterInLand ? WaterCode : ClearCode;
    filemaker::MapLayout map;
    map.rows = 40;
    map.columns = 40;
    map.squares.assign(40 * 40, around);
    int placed = 0;
    for (int row = 1; row < 39 && placed < count; row += 2)
        for (int column = 0; column < 40 && placed < count; column += 2, ++placed)
            map.squares[static_cast<size_t>(row * 40 + column)] = single;
    return filemaker::MapFile(map, {});
}

filemaker::UnitTable KnownUnits() {
    filemaker::UnitTable units{};
    for (int player = 0; player < 6; ++player)
        for (int count = 0; count < 15; ++count)
            units[player][count] = (player % 2 == 1 ? -1 : 1) * (1000 * (player + 1) + count);
    units[0][0] = std::numeric_limits<int32_t>::max();
    units[5][13] = std::numeric_limits<int32_t>::min();
    return units;
}

filemaker::GameFile FiguresScenario() {
    return filemaker::ScenarioFile(FiguresSquares(), FiguresCities(), KnownUnits());
}

filemaker::GameFile ModestScenario() {
    filemaker::UnitTable units{};
    for (int player = 0; player < 6; ++player)
        for (int count = 0; count < 15; ++count) units[player][count] = (player + 1) * (count + 1) % 40;
    return filemaker::ScenarioFile(FiguresSquares(), FiguresCities(), units);
}

filemaker::GameFile MapWithVersion(int version) {
    filemaker::GameFile file = ThreeCitiesMap();
    file.version = static_cast<uint8_t>(version);
    return file;
}

filemaker::GameFile ScenarioWithoutUnits() {
    filemaker::GameFile file = filemaker::MapFile(SmallClearMap(), {{50, 3}});
    file.typeTag = "CSCN";
    return file;
}
