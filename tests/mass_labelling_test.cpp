// LabelMasses on worked and crafted maps whose labels are known, and against the literal labelling: the same
// counts and the same label on every square, on every map of these tests and on random ones.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>

#include "analysis/examine_results.h"
#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "filemaker/crafted_maps.h"
#include "literal_labelling/literal_labelling.h"
#include "test_files.h"

using filemaker::Drawn;
using filemaker::MapFromText;
using filemaker::MapLayout;
using filemaker::WaterCode;
using testfiles::Banded;
using testfiles::Land;

namespace {

using Masses = std::pair<int32_t, int32_t>;  // water, land

// Holds the counts and labels that the last labelling left to the literal labelling's of mapSquares.
void ExpectSameAsLiteral(const MapHeader& header, const std::string& what) {
    const LiteralMasses literal = LabelMassesLiterally(header, mapSquares.data());
    EXPECT_EQ(Masses(examineResults.waterMassCount, examineResults.landMassCount),
              Masses(literal.waterMassCount, literal.landMassCount)) << what;
    const std::vector<uint8_t>& labels = massLabels();
    ASSERT_EQ(labels.size(), literal.labels.size()) << what;
    const auto [fast, plain] = std::mismatch(labels.begin(), labels.end(), literal.labels.begin());
    const int columns = std::max<int>(header.columns, 1), square = static_cast<int>(fast - labels.begin());
    if (fast != labels.end())
        ADD_FAILURE() << what << ": square " << square / columns << "," << square % columns << " holds " << int(*fast)
                      << ", not " << int(*plain);
}

// Labels map as the examination loads it, without a file, so that any header may go with its squares.
void ExpectLabelledAsLiteral(const MapLayout& map, const std::string& what) {
    const MapHeader header = LoadSquares(map);
    LabelMasses(header);
    ExpectSameAsLiteral(header, what);
}

// Examines map as a map file; its labels stay readable in massLabels().
Masses Examine(const MapLayout& map) {
    testfiles::TempFolder folder;
    EXPECT_EQ(ExaminePath(FileKind::Map, folder.Write("masses.map", filemaker::MapFile(map, {}))), LoadSucceeded);
    ExpectSameAsLiteral(HeaderOf(map), "the examined map");
    return {examineResults.waterMassCount, examineResults.landMassCount};
}

// Makes the squares from (top, left) to (bottom, right) water.
void Water(MapLayout& map, int top, int left, int bottom, int right) {
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) map.squares.at(static_cast<size_t>(r * map.columns + c)) = WaterCode;
}
void Water(MapLayout& map, int row, int column) { Water(map, row, column, row, column); }
void Water(MapLayout& map, std::initializer_list<std::pair<int, int>> squares) {
    for (const auto& [row, column] : squares) Water(map, row, column);
}

// Expects the label of each square (row, column, label) that the last examination of map left.
void ExpectLabels(const MapLayout& map, std::initializer_list<std::array<int, 3>> squares) {
    for (const auto& [row, column, label] : squares)
        EXPECT_EQ(massLabels().at(static_cast<size_t>(row * map.columns + column)), label) << row << "," << column;
}

constexpr int No = NoLabel;
constexpr int Over = OverflowLabel;

// Any terrain code of the kind, so that every class and the codes past the class table take part.
uint8_t RandomCode(std::mt19937& random, bool water) {
    if (water) return static_cast<uint8_t>(std::uniform_int_distribution<int>(2, 33)(random));
    const int code = std::uniform_int_distribution<int>(0, 223)(random);  // 224 land codes
    return static_cast<uint8_t>(code < 2 ? code : code + 32);
}

// A random map of up to 255 by 255, mostly small, of one of several textures, with a random band and now and
// then a header that does not fit its squares.
MapLayout RandomMap(std::mt19937& random) {
    auto uniform = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto side = [&] {
        const int size = uniform(0, 9);
        return static_cast<uint8_t>(size < 5 ? uniform(1, 16) : size < 8 ? uniform(1, 80) : uniform(1, 255));
    };
    MapLayout map{side(), side(), {}, {}, 0, 0, {}};
    const int texture = uniform(0, 3), percent = uniform(0, 100), period = uniform(2, 5);
    for (int row = 0; row < map.rows; ++row) {
        for (int column = 0; column < map.columns; ++column) {
            const bool regular = texture == 1 ? row % 2 == 1 && column % period == 0  // single squares
                                 : texture == 2 ? (row % period == 0 ? column % 2 == 0 : row % period == 1)  // bars
                                                : (row / period + column / period) % 2 == 0;  // blocks
            // Noise, or some noise over a regular texture.
            const bool water = texture == 0 ? uniform(0, 99) < percent : regular != (uniform(0, 99) < percent / 10);
            map.squares.push_back(RandomCode(random, water));
        }
    }
    if (uniform(0, 2) == 0) {
        map.firstColumn = static_cast<uint8_t>(uniform(0, map.columns));
        map.lastColumn = static_cast<uint8_t>(uniform(0, map.columns + 1));
    }
    if (uniform(0, 9) == 0) map.squareCount = static_cast<uint16_t>(uniform(0, int(map.squares.size()) + 300));
    return map;
}

}  // namespace

TEST(LabelMasses, MergesRelabelAtOnceOnlySquaresOfTheirKind) {
    // The worked example of 5 rows by 6 columns.
    const MapLayout map = MapFromText({"LLLLLL", "WWLLWW", "LWLWLL", "WLLWWL", "LLWLLL"});
    EXPECT_EQ(Examine(map), Masses(2, 1));
    // Water and land are numbered apart: row 1 holds water 0, land 0 and water 1.
    const std::vector<int> expected = {
        No, No, No, No, No, No,
        0,  0,  0,  0,  1,  1,
        0,  0,  0,  1,  0,  0,
        0,  0,  0,  1,  1,  0,
        No, No, No, No, No, No,
    };
    EXPECT_EQ(std::vector<int>(massLabels().begin(), massLabels().end()), expected);
    // Water labels 0, 1 and 2 in row 1, land labels 0, 1 and 2 between them;
    // (2,1) touches water 0 and water 1: label 1 becomes 0, label 2 becomes 1.
    const MapLayout three = MapFromText({"LLLLLLLL", "WLWLWLLL", "LWLLLLLL", "LLLLLLLL"});
    EXPECT_EQ(Examine(three), Masses(2, 1));
    const std::vector<int> rows1And2 = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<int>(massLabels().begin() + 8, massLabels().begin() + 24), rows1And2);
}

// The band between the first and last row as the neighbour rule sees it; and, never outside a buffer and always
// to an end, the scan covers the band as far as the grid has squares, and squares missing from the file read as
// Clear.
TEST(LabelMasses, CountsTheBandAsTheNeighbourRuleSeesItAndAsFarAsTheGridHasSquares) {
    const MapLayout pastTheTable{3, 5, {0, 0, 0, 0, 0, WaterCode, 196, WaterCode, 255, 0, 0, 0, 0, 0, 0}, {}, 0, 0, {}};
    const std::pair<MapLayout, Masses> cases[] = {
        {MapFromText({"LLLL", "WWWW", "WWWW", "LLLL"}), {1, 0}},           // a band all water
        {MapLayout{2, 6, {}, 0, 0, 0, 5}, {0, 0}},                            // two rows, no squares
        {MapFromText({"WLW", "LWL"}), {0, 0}},                              // two rows
        {MapLayout{5, 6, {}, 0, 0, 4, 3}, {0, 0}},                            // an empty band, no squares
        {Banded(MapFromText({"LLLL", "WLWL", "LWLW", "LLLL"}), 3, 2), {0, 0}},  // an empty band
        {MapFromText({"WWWW", "LLLL", "LLLL", "WLWL"}), {0, 1}},           // water only in the first and last rows
        {Banded(MapFromText({"LLLLL", "WLLLW", "WLLLW", "LLLLL"}), 1, 3), {0, 1}},  // water only outside the band
        {pastTheTable, {2, 2}},                                             // codes 196 and 255 are land
        // Seen across the seam: diagonal contacts both ways, not the same row.
        {MapFromText({"LLLLL", "WLLLW", "LLLLL", "LLLLL"}), {2, 1}},
        {MapFromText({"LLLLL", "LLLLW", "WLLLL", "LLLLL"}), {1, 1}},
        {MapFromText({"LLLLL", "WLLLL", "LLLLW", "LLLLL"}), {1, 1}},
        // Joined through (1,4) when the band reaches the last column, apart when not.
        {MapFromText({"LLLLL", "LLLWW", "WLLLL", "LLLLL"}), {1, 1}},
        {Banded(MapFromText({"LLLLL", "LLLWW", "WLLLL", "LLLLL"}), 0, 3), {2, 1}},
        // Headers outside the scan limits.
        {MapLayout{0, 10, {}, {}, 0, 0, 9}, {0, 0}},                                          // no rows
        {MapLayout{1, 10, std::vector<uint8_t>(10, WaterCode), {}, 0, 0, 9}, {0, 0}},         // one row
        {MapLayout{5, 0, std::vector<uint8_t>(20, WaterCode), {}, 0, 0, 255}, {0, 0}},        // no columns
        {MapLayout{5, 0, {}, {}, 0, 0, 0}, {0, 0}},                                           // nor squares
        {Banded(MapFromText({"LLLLL", "WLWLL", "WWWWL", "LLLLL"}), 0, 7), {1, 2}},          // last column past the row
        {MapLayout{4, 255, std::vector<uint8_t>(1020, 0), {}, 0, 0, 255}, {0, 1}},            // last column 255 of 255
        {Banded(MapFromText({"LLLLLLLLLL", "WWLLLLLLWW", "LLLLLLLLLL", "LLLLLLLLLL"}), 0, 255), {2, 1}},  // of 10
        {MapLayout{5, 6, std::vector<uint8_t>(30, WaterCode), {}, 0, 10, 20}, {0, 0}},        // first column past the row
        {MapLayout{6, 6, {0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 2, 2}, {}, 0, 0, {}}, {1, 1}},        // short of the band
        {MapLayout{5, 6, {}, {}, 0, 0, 5}, {0, 1}},                                           // no squares at all
        {MapLayout{255, 255, {}, {}, 0, 0, 254}, {0, 1}},                                     // nor on the largest map
        {MapLayout{255, 255, std::vector<uint8_t>(65535, WaterCode), {}, 0, 0, 254}, {1, 0}},  // more than the grid
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(Examine(cases[i].first), cases[i].second) << "case " << i;
}

TEST(LabelMasses, SeparateWaterSquaresAreCountedUpTo254AndThenStopAt255) {
    for (int singles : {1, 253, 254, 255, 256, 300}) {
        MapLayout map = Land(7, 255);
        for (int k = 0; k < singles; ++k) Water(map, 1 + 2 * (k / 127), 2 * (k % 127));
        EXPECT_EQ(Examine(map), Masses(std::min(singles, 255), 1)) << singles << " single water squares";
    }
    // 40 by 40 with water in the odd rows and even columns: every give-up takes label 0.
    MapLayout map = Land(40, 40);
    for (int r = 1; r < 40; r += 2)
        for (int c = 0; c < 40; c += 2) Water(map, r, c);
    EXPECT_EQ(Examine(map), Masses(255, 1));
    // The first mass, given up first; one never given up; the 254th water square and the next, handed 254
    // itself; the square that took label 0, then gave it up; the last square, which holds label 0.
    ExpectLabels(map, {{1, 0, Over}, {1, 2, 1}, {25, 26, 253}, {25, 28, Over}, {37, 36, Over}, {37, 38, 0}});
    // Two rows of single squares over a water row that joins them.
    MapLayout joined = Land(6, 255);
    for (int r : {1, 3})
        for (int c = 0; c < 255; c += 2) Water(joined, r, c);
    Water(joined, 4, 0, 4, 254);
    EXPECT_EQ(Examine(joined), Masses(129, 1));
    ExpectLabels(joined, {{1, 0, Over}});
}

TEST(LabelMasses, GiveUpTakesTheSmallestMassAndTheLowestLabelAmongEquals) {
    // Water label 0 counts two squares, every later label one.
    MapLayout map = Land(7, 255);
    for (int r : {1, 3, 5})
        for (int c = r == 3 ? 6 : 2; c <= 250; c += 2) Water(map, r, c);
    Water(map, 2, 2);
    EXPECT_EQ(Examine(map).first, 255);
    // (1,4) held label 1, the first given up; every give-up took label 1, last at (5,250).
    ExpectLabels(map, {{1, 2, 0}, {2, 2, 0}, {1, 4, Over}, {1, 6, 2}, {5, 248, Over}, {5, 250, 1}});
    // Labels 0 to 252 count two squares each, label 253 one: 253 is given up.
    MapLayout pairs = Land(12, 255);
    for (int top : {1, 4})
        for (int c = 0; c <= 250; c += 2) Water(pairs, top, c, top + 1, c);
    Water(pairs, 7, 0, 8, 0);                    // label 252
    Water(pairs, {{7, 4}, {7, 8}, {10, 0}});  // label 253, handed label 254, a new mass
    EXPECT_EQ(Examine(pairs).first, 255);
    ExpectLabels(pairs, {{7, 4, Over}, {1, 0, 0}, {10, 0, 253}});
    // A merge does not add the absorbed label's tally: label 0, (1,0) joined to (1,2) by (2,1), counts
    // 2 like every pair of labels 1 to 253, and as the lowest of them is given up first.
    MapLayout merged = Land(10, 255);
    for (int c = 4; c <= 250; c += 2) Water(merged, 1, c, 2, c);  // labels 1 to 124
    for (int c = 0; c <= 252; c += 2) Water(merged, 4, c, 5, c);  // labels 125 to 251
    // Labels 252 and 253, then 254 handed out, then a new mass at (8,6).
    Water(merged, {{1, 0}, {1, 2}, {2, 1}, {7, 0}, {8, 0}, {7, 2}, {8, 2}, {7, 4}, {8, 6}});
    EXPECT_EQ(Examine(merged).first, 255);
    ExpectLabels(merged, {{2, 1, Over}, {8, 6, 0}});
}

// Merges never add the absorbed label's tally to the survivor, and the counter of label 253 stays behind as a
// copy in the one below it. Here a mass of exactly 10000 squares is labelled 253; then, 252 times, a new mass
// takes over the smallest label, joins the first mass and is followed by a mass handed label 254. Each round
// copies the tally of 10000 one label further down, until every counter from 1 to 253 holds it and counter 0
// (the first mass, 14747 squares) is no smaller: then no label can be given up, as a mass of 10000 squares or
// more never is.
TEST(LabelMasses, NewMassGetsNoLabelWhenEveryCounterHolds10000OrMore) {
    MapLayout map = Land(255, 255);
    Water(map, 1, 0, 253, 0);  // the first mass, water label 0
    for (int k = 0; k < 252; ++k) Water(map, 1 + 2 * (k / 125), 2 + 2 * (k % 125));  // labels 1 to 252
    Water(map, 5, 10, 45, 252);  // label 253: 9963 squares,
    Water(map, 46, 10, 46, 46);  // and 37 more
    Water(map, 48, 10);          // handed label 254
    for (int top = 50; top <= 74; top += 4) Water(map, top, 0, top, 250);  // joined to the first mass
    for (int k = 0; k < 252; ++k) {
        const int top = 50 + 4 * (k / 41), c = 2 + 6 * (k % 41);
        Water(map, top + 1, c + 2);              // a tooth of the first mass
        Water(map, top + 2, c, top + 2, c + 1);  // takes over the smallest label, then joins the tooth
        Water(map, top + 2, c + 4);              // handed label 254
    }
    Water(map, 100, 0, 150, 240);  // the first mass grows
    Water(map, 252, 200, 252, 201);
    EXPECT_EQ(Examine(map).first, 255);
    // (252,201) does not see its neighbour and asks anew; the mass of 10000 squares is never given up.
    ExpectLabels(map, {{252, 200, No}, {252, 201, No}, {1, 2, Over}, {30, 100, 1}, {120, 100, 0}});
}

TEST(LabelMassesAgainstLiteral, CraftedMapsInEveryRegimeWithBandsThatReachTheSeamOrNot) {
    std::vector<std::pair<std::string, MapLayout>> maps = filemaker::CraftedMaps();
    // A water mass of 11475 squares, never given up, above separate squares that overflow the count.
    maps.emplace_back("big mass", Drawn([](int row, int column) {
        return row <= 45 || (row % 2 == 1 && column % 2 == 0); }));
    // Separate squares that overflow the count, then rows of water that merge them, over and over.
    maps.emplace_back("overflow and merges", Drawn([](int row, int column) {
        return row % 5 == 1 || row % 5 == 3 ? column % 2 == 0 : row % 5 == 4; }));
    // Pairs and single squares: counters of 1 and 2 tie among themselves.
    maps.emplace_back("ties", Drawn([](int row, int column) {
        return row % 3 == 1 ? column % 2 == 0 : row % 3 == 2 && column % 6 == 0; }));
    for (const auto& [name, map] : maps) {
        ExpectLabelledAsLiteral(map, name);
        ExpectLabelledAsLiteral(Banded(map, 1, 253), name + " in columns 1 to 253");
        ExpectLabelledAsLiteral(Banded(map, 100, 254), name + " in columns 100 to 254");
    }
    // The regimes are those intended.
    EXPECT_EQ(Examine(maps[5].second).first, 255);
    EXPECT_EQ(massLabels()[255], 0);  // the big mass, at (1, 0)
}

TEST(LabelMassesAgainstLiteral, RandomMapsOfAllSizesAndBands) {
    std::mt19937 random(20261207);
    for (int n = 0; n < 5000 && !HasFailure(); ++n) {
        const MapLayout map = RandomMap(random);
        ExpectLabelledAsLiteral(map, "random map " + std::to_string(n) + " of " + std::to_string(map.rows) + " by " +
                                         std::to_string(map.columns));
    }
}
