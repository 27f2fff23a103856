#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/map_statistics.h"
#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "test_files.h"

using filemaker::MapSpec;
using filemaker::WaterCode;

namespace {

// A land map of the given size on which single squares are made water.
struct Grid {
    int rows;
    int columns;
    std::vector<uint8_t> codes;

    Grid(int rowCount, int columnCount)
        : rows(rowCount), columns(columnCount),
          codes(static_cast<size_t>(rowCount * columnCount), filemaker::ClearCode) {}
    void Water(int row, int column) { codes[static_cast<size_t>(row * columns + column)] = WaterCode; }
    MapSpec AsMap() const {
        MapSpec map;
        map.rows = static_cast<uint8_t>(rows);
        map.columns = static_cast<uint8_t>(columns);
        map.squares = codes;
        return map;
    }
};

struct Masses {
    uint16_t status;
    int32_t water;
    int32_t land;
};

// Runs the labelling over map as the examination does: the map's squares at
// the start of mapSquares, every other byte 0.
Masses Label(const MapSpec& map) {
    const std::vector<uint8_t> data = filemaker::MapChunkData(map);
    const MapHeader header = DecodeMapHeader(data.data());
    mapSquares.fill(0);
    std::copy(data.begin() + MapHeaderSize, data.end(), mapSquares.begin());
    const uint16_t status = LabelMasses(header);
    return {status, examineResults.waterMassCount, examineResults.landMassCount};
}

int LabelAt(const MapSpec& map, int row, int column) {
    return massLabels().at(static_cast<size_t>(row * map.columns + column));
}

std::vector<std::vector<int>> LabelRows(const MapSpec& map) {
    std::vector<std::vector<int>> rows(map.rows);
    for (int r = 0; r < map.rows; ++r)
        for (int c = 0; c < map.columns; ++c) rows[r].push_back(LabelAt(map, r, c));
    return rows;
}

constexpr int No = NoLabel;

}  // namespace

TEST(LabelMasses, WorkedExampleOfFiveRowsBySixColumns) {
    const MapSpec map = filemaker::MapFromText({
        "LLLLLL",
        "WWLLWW",
        "LWLWLL",
        "WLLWWL",
        "LLWLLL",
    });
    const Masses masses = Label(map);
    EXPECT_EQ(masses.status, 0);
    EXPECT_EQ(masses.water, 2);
    EXPECT_EQ(masses.land, 1);
    // Water and land are numbered apart: row 1 holds water 0, land 0 and water 1.
    const std::vector<std::vector<int>> expected = {
        {No, No, No, No, No, No},
        {0, 0, 0, 0, 1, 1},
        {0, 0, 0, 1, 0, 0},
        {0, 0, 0, 1, 1, 0},
        {No, No, No, No, No, No},
    };
    EXPECT_EQ(LabelRows(map), expected);
}

TEST(LabelMasses, OnlyTheBandBetweenTheFirstAndLastRowIsScanned) {
    struct Case {
        const char* what;
        std::vector<std::string_view> rows;
        uint8_t firstColumn;
        uint8_t lastColumn;
        int32_t water;
        int32_t land;
    };
    const Case cases[] = {
        {"two rows", {"WLW", "LWL"}, 0, 2, 0, 0},
        {"first column past the last", {"LLLL", "WLWL", "LWLW", "LLLL"}, 3, 2, 0, 0},
        {"band all water", {"LLLL", "WWWW", "WWWW", "LLLL"}, 0, 3, 1, 0},
        {"water only in the first and last rows", {"WWWW", "LLLL", "LLLL", "WLWL"}, 0, 3, 0, 1},
        {"water only outside the band", {"LLLLL", "WLLLW", "WLLLW", "LLLLL"}, 1, 3, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MapSpec map = filemaker::MapFromText(c.rows);
        map.firstColumn = c.firstColumn;
        map.lastColumn = c.lastColumn;
        const Masses masses = Label(map);
        EXPECT_EQ(masses.status, 0);
        EXPECT_EQ(masses.water, c.water);
        EXPECT_EQ(masses.land, c.land);
    }
}

TEST(LabelMasses, NoSquaresWithNothingToScanIsNoFailure) {
    examineResults.waterMassCount = 9;
    for (const MapSpec& map : {MapSpec{2, 6, {}, 0, 0, 0, 5}, MapSpec{5, 6, {}, 0, 0, 4, 3}}) {
        const Masses masses = Label(map);
        EXPECT_EQ(masses.status, 0);
        EXPECT_EQ(masses.water + masses.land, 0);
    }
}

TEST(LabelMasses, SameRowContactAcrossTheSeamIsMissedButDiagonalContactIsSeen) {
    struct Case {
        const char* what;
        std::vector<std::string_view> rows;
        uint8_t lastColumn;
        int32_t water;
    };
    const Case cases[] = {
        {"same row", {"LLLLL", "WLLLW", "LLLLL", "LLLLL"}, 4, 2},
        {"last column above column 0", {"LLLLL", "LLLLW", "WLLLL", "LLLLL"}, 4, 1},
        {"column 0 above the last column", {"LLLLL", "WLLLL", "LLLLW", "LLLLL"}, 4, 1},
        // Joined through (1,4) when the band reaches the last column, apart when not.
        {"band reaching the seam", {"LLLLL", "LLLWW", "WLLLL", "LLLLL"}, 4, 1},
        {"band short of the seam", {"LLLLL", "LLLWW", "WLLLL", "LLLLL"}, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MapSpec map = filemaker::MapFromText(c.rows);
        map.lastColumn = c.lastColumn;
        const Masses masses = Label(map);
        EXPECT_EQ(masses.water, c.water);
        EXPECT_EQ(masses.land, 1);
    }
}

TEST(LabelMasses, MergeRelabelsAtOnceAndOnlySquaresOfItsKind) {
    // Water labels 0, 1 and 2 in row 1, land labels 0, 1 and 2 between them;
    // (2,1) touches water 0 and water 1.
    const MapSpec map = filemaker::MapFromText({
        "LLLLLLLL",
        "WLWLWLLL",
        "LWLLLLLL",
        "LLLLLLLL",
    });
    const Masses masses = Label(map);
    EXPECT_EQ(masses.water, 2);
    EXPECT_EQ(masses.land, 1);
    const std::vector<int> row1 = {0, 0, 0, 0, 1, 0, 0, 0};
    const std::vector<int> row2 = {0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(LabelRows(map)[1], row1);
    EXPECT_EQ(LabelRows(map)[2], row2);
}

TEST(LabelMasses, SeparateWaterSquaresAreCountedUpTo254AndThenStopAt255) {
    for (int singles : {1, 253, 254, 255, 256, 300}) {
        SCOPED_TRACE(std::to_string(singles) + " single water squares");
        Grid grid(7, 255);
        for (int k = 0; k < singles; ++k) grid.Water(1 + 2 * (k / 127), 2 * (k % 127));
        const Masses masses = Label(grid.AsMap());
        EXPECT_EQ(masses.water, std::min(singles, 255));
        EXPECT_EQ(masses.land, 1);
    }
}

TEST(LabelMasses, FortyByFortyWithWaterInOddRowsAndEvenColumnsGivesUpLabelZeroEachTime) {
    Grid grid(40, 40);
    for (int r = 1; r < 40; r += 2)
        for (int c = 0; c < 40; c += 2) grid.Water(r, c);
    const MapSpec map = grid.AsMap();
    const Masses masses = Label(map);
    EXPECT_EQ(masses.water, 255);
    EXPECT_EQ(masses.land, 1);
    EXPECT_EQ(LabelAt(map, 1, 0), OverflowLabel);    // the first mass, given up first
    EXPECT_EQ(LabelAt(map, 1, 2), 1);                // never given up
    EXPECT_EQ(LabelAt(map, 25, 26), 253);            // the 254th water square
    EXPECT_EQ(LabelAt(map, 25, 28), OverflowLabel);  // handed 254 itself
    EXPECT_EQ(LabelAt(map, 37, 36), OverflowLabel);  // took label 0, then gave it up
    EXPECT_EQ(LabelAt(map, 37, 38), 0);              // the last square holds label 0
}

TEST(LabelMasses, SixBy255WithAWaterRowUnderTwoRowsOfSingleSquares) {
    Grid grid(6, 255);
    for (int c = 0; c < 255; c += 2) {
        grid.Water(1, c);
        grid.Water(3, c);
    }
    for (int c = 0; c < 255; ++c) grid.Water(4, c);
    const MapSpec map = grid.AsMap();
    const Masses masses = Label(map);
    EXPECT_EQ(masses.water, 129);
    EXPECT_EQ(masses.land, 1);
    EXPECT_EQ(LabelAt(map, 1, 0), OverflowLabel);
}

TEST(LabelMasses, GiveUpTakesTheSmallestMassAndTheLowestLabelAmongEquals) {
    // Water label 0 counts two squares, every later label one.
    Grid grid(7, 255);
    for (int c = 2; c <= 250; c += 2) grid.Water(1, c);
    grid.Water(2, 2);
    for (int c = 6; c <= 250; c += 2) grid.Water(3, c);
    for (int c = 2; c <= 250; c += 2) grid.Water(5, c);
    const MapSpec map = grid.AsMap();
    const Masses masses = Label(map);
    EXPECT_EQ(masses.water, 255);
    EXPECT_EQ(LabelAt(map, 1, 2), 0);
    EXPECT_EQ(LabelAt(map, 2, 2), 0);
    EXPECT_EQ(LabelAt(map, 1, 4), OverflowLabel);  // label 1, the first given up
    EXPECT_EQ(LabelAt(map, 1, 6), 2);
    EXPECT_EQ(LabelAt(map, 5, 248), OverflowLabel);
    EXPECT_EQ(LabelAt(map, 5, 250), 1);  // every give-up took label 1

    // Labels 0 to 252 count two squares each, label 253 one: 253 is given up.
    Grid pairs(12, 255);
    for (int top : {1, 4})
        for (int c = 0; c <= 250; c += 2) {
            pairs.Water(top, c);
            pairs.Water(top + 1, c);
        }
    pairs.Water(7, 0);
    pairs.Water(8, 0);   // label 252
    pairs.Water(7, 4);   // label 253
    pairs.Water(7, 8);   // handed label 254
    pairs.Water(10, 0);  // a new mass
    const MapSpec pairsMap = pairs.AsMap();
    EXPECT_EQ(Label(pairsMap).water, 255);
    EXPECT_EQ(LabelAt(pairsMap, 7, 4), OverflowLabel);
    EXPECT_EQ(LabelAt(pairsMap, 1, 0), 0);
    EXPECT_EQ(LabelAt(pairsMap, 10, 0), 253);
}

// Merges never add the absorbed label's tally to the survivor, and the counter
// of label 253 stays behind as a copy in the one below it. Here a mass of
// 10206 squares is labelled 253; then, 252 times, a new mass takes over the
// smallest label, joins the first mass and is followed by a mass handed label
// 254. Each round copies the tally of 10206 one label further down, until
// every counter from 1 to 253 holds it and counter 0 (the first mass, 14747
// squares) is no smaller: then no label can be given up.
TEST(LabelMasses, NewMassGetsNoLabelWhenEveryCounterHolds10000OrMore) {
    Grid grid(255, 255);
    for (int r = 1; r <= 253; ++r) grid.Water(r, 0);  // the first mass, water label 0
    for (int c = 2; c <= 250; c += 2) grid.Water(1, c);
    for (int c = 2; c <= 250; c += 2) grid.Water(3, c);
    grid.Water(5, 2);
    grid.Water(5, 4);  // labels 1 to 252, one square each
    for (int r = 5; r <= 46; ++r)
        for (int c = 10; c <= 252; ++c) grid.Water(r, c);  // label 253
    grid.Water(48, 10);                                      // handed label 254
    int rounds = 0;
    for (int top = 50; rounds < 252; top += 4) {
        for (int c = 0; c <= 250; ++c) grid.Water(top, c);  // joined to the first mass
        for (int c = 2; c + 4 <= 250 && rounds < 252; c += 6, ++rounds) {
            grid.Water(top + 1, c + 2);  // a tooth of the first mass
            grid.Water(top + 2, c);      // takes over the smallest label
            grid.Water(top + 2, c + 1);  // joins it to the first mass
            grid.Water(top + 2, c + 4);  // handed label 254
        }
    }
    for (int r = 100; r <= 150; ++r)
        for (int c = 0; c <= 240; ++c) grid.Water(r, c);  // the first mass grows
    grid.Water(252, 200);
    grid.Water(252, 201);
    const MapSpec map = grid.AsMap();

    const Masses masses = Label(map);
    EXPECT_EQ(masses.status, 0);
    EXPECT_EQ(masses.water, 255);
    EXPECT_EQ(LabelAt(map, 252, 200), NoLabel);
    EXPECT_EQ(LabelAt(map, 252, 201), NoLabel);  // does not see its neighbour, asks anew
    EXPECT_EQ(LabelAt(map, 1, 2), OverflowLabel);
    EXPECT_EQ(LabelAt(map, 30, 100), 1);  // the mass of 10206 squares is never given up
    EXPECT_EQ(LabelAt(map, 120, 100), 0);
}

TEST(LabelMasses, CodesPastTheClassTableAreLand) {
    MapSpec map;
    map.rows = 3;
    map.columns = 5;
    map.squares = {0, 0, 0, 0, 0, WaterCode, 196, WaterCode, 255, 0, 0, 0, 0, 0, 0};
    const Masses masses = Label(map);
    EXPECT_EQ(masses.water, 2);
    EXPECT_EQ(masses.land, 2);
}

// ---- Headers outside the scan's limits, through the whole examination ------

TEST(ExaminePath, MapHeadersOutsideTheScanLimitsEndWithCountsOfTheSquaresThatExist) {
    struct Case {
        const char* what;
        MapSpec map;
        int32_t water;
        int32_t land;
        int32_t waterSquares;
    };
    const std::vector<uint8_t> water20(20, WaterCode);
    MapSpec shortOfTheBand = filemaker::MapFromText({"LLLLLL", "WWWWWW"});
    shortOfTheBand.rows = 6;  // rows 2 to 4 are missing and read as Clear
    MapSpec pastTheRow = filemaker::MapFromText({"LLLLL", "WLWLL", "WWWWL", "LLLLL"});
    pastTheRow.lastColumn = 7;
    MapSpec tenColumns = filemaker::MapFromText({"LLLLLLLLLL", "WWLLLLLLWW", "LLLLLLLLLL", "LLLLLLLLLL"});
    tenColumns.lastColumn = 255;
    MapSpec oversized = MapSpec{255, 255, std::vector<uint8_t>(65535, WaterCode), {}, 0, 0, 254};

    const Case cases[] = {
        {"no rows", MapSpec{0, 10, {}, {}, 0, 0, 9}, 0, 0, 0},
        {"one row", MapSpec{1, 10, std::vector<uint8_t>(10, WaterCode), {}, 0, 0, 9}, 0, 0, 10},
        {"no columns", MapSpec{5, 0, water20, {}, 0, 0, 255}, 0, 0, 20},
        {"no columns, no squares", MapSpec{5, 0, {}, {}, 0, 0, 0}, 0, 0, 0},
        {"last column past the row", pastTheRow, 1, 2, 6},
        {"last column 255 of 255", MapSpec{4, 255, std::vector<uint8_t>(1020, 0), {}, 0, 0, 255}, 0, 1, 0},
        {"last column 255 of 10", tenColumns, 2, 1, 4},
        {"first column past the row", MapSpec{5, 6, std::vector<uint8_t>(30, WaterCode), {}, 0, 10, 20}, 0, 0, 30},
        {"squares short of the band", shortOfTheBand, 1, 1, 6},
        {"no squares at all", MapSpec{5, 6, {}, {}, 0, 0, 5}, 0, 1, 0},
        {"largest map without squares", MapSpec{255, 255, {}, {}, 0, 0, 254}, 0, 1, 0},
        {"more squares than the grid", oversized, 1, 0, 65535},
    };
    testfiles::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write("limits.map", filemaker::MapFile(c.map, {}));
        ASSERT_EQ(ExaminePath(FileKind::Map, path), LoadSucceeded);
        EXPECT_EQ(examineResults.waterMassCount, c.water);
        EXPECT_EQ(examineResults.landMassCount, c.land);
        EXPECT_EQ(examineResults.terrainCounts[static_cast<int>(TerrainClass::Water)], c.waterSquares);
        EXPECT_GE(massLabels().size(), size_t{c.map.rows} * c.map.columns);
    }
}
