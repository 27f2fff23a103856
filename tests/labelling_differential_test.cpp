// LabelMasses against the literal labelling: the same counts and label on every square, on crafted and random maps.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "analysis/mass_labelling.h"
#include "examine/examine_results.h"
#include "filemaker/crafted_maps.h"
#include "literal_labelling/literal_labelling.h"
#include "test_files.h"

using filemaker::MapLayout;
using filemaker::Drawn;
using filemaker::WaterCode;
using testfiles::Banded;

namespace {

// Labels map both ways; says where they part, if they do.
void ExpectSameAsLiteral(const MapLayout& map, const std::string& what) {
    const MapHeader header = LoadSquares(map);
    const LiteralMasses literal = LabelMassesLiterally(header, mapSquares.data());
    LabelMasses(header);
    EXPECT_EQ(examineResults.waterMassCount, literal.waterMassCount) << what;
    EXPECT_EQ(examineResults.landMassCount, literal.landMassCount) << what;
    const std::vector<uint8_t>& labels = massLabels();
    ASSERT_EQ(labels.size(), literal.labels.size()) << what;
    const auto [fast, plain] = std::mismatch(labels.begin(), labels.end(), literal.labels.begin());
    if (fast != labels.end()) {
        const auto square = fast - labels.begin();
        ADD_FAILURE() << what << ": square " << square / std::max<int>(map.columns, 1) << ","
                      << square % std::max<int>(map.columns, 1) << " holds " << int(*fast) << ", not "
                      << int(*plain);
    }
}

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
        return size < 5 ? uniform(1, 16) : size < 8 ? uniform(1, 80) : uniform(1, 255);
    };
    MapLayout map;
    map.rows = static_cast<uint8_t>(side());
    map.columns = static_cast<uint8_t>(side());
    const int texture = uniform(0, 3);
    const int percent = uniform(0, 100);
    const int period = uniform(2, 5);
    std::vector<bool> water(size_t{map.rows} * map.columns);
    for (int row = 0; row < map.rows; ++row) {
        for (int column = 0; column < map.columns; ++column) {
            bool isWater = false;
            switch (texture) {
                case 0: isWater = uniform(0, 99) < percent; break;                          // noise
                case 1: isWater = row % 2 == 1 && column % period == 0; break;              // single squares
                case 2: isWater = row % period == 0 ? column % 2 == 0 : row % period == 1;  // stripes and bars
                        break;
                default: isWater = (row / period + column / period) % 2 == 0; break;        // blocks
            }
            // Some noise over the regular textures.
            if (texture != 0 && uniform(0, 99) < percent / 10) isWater = !isWater;
            water[size_t(row) * map.columns + column] = isWater;
        }
    }
    for (const bool isWater : water) map.squares.push_back(RandomCode(random, isWater));
    if (uniform(0, 2) == 0) {
        map.firstColumn = static_cast<uint8_t>(uniform(0, map.columns));
        map.lastColumn = static_cast<uint8_t>(uniform(0, map.columns + 1));
    }
    if (uniform(0, 9) == 0) map.squareCount = static_cast<uint16_t>(uniform(0, int(map.squares.size()) + 300));
    return map;
}

}  // namespace

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
        ExpectSameAsLiteral(map, name);
        ExpectSameAsLiteral(Banded(map, 1, 253), name + " in columns 1 to 253");
        ExpectSameAsLiteral(Banded(map, 100, 254), name + " in columns 100 to 254");
    }
    // The regimes are those intended.
    LoadSquares(maps[5].second);
    LabelMasses(HeaderOf(maps[5].second));
    EXPECT_EQ(examineResults.waterMassCount, 255);
    EXPECT_EQ(massLabels()[255], 0);  // the big mass, at (1, 0)
}

TEST(LabelMassesAgainstLiteral, RandomMapsOfAllSizesAndBands) {
    // TELVORN_RANDOM_MAPS sets how many; slower builds run fewer.
    const char* setting = std::getenv("TELVORN_RANDOM_MAPS");
    const int count = setting != nullptr ? std::atoi(setting) : 5000;
    std::mt19937 random(20261207);
    for (int n = 0; n < count; ++n) {
        const MapLayout map = RandomMap(random);
        ExpectSameAsLiteral(map, "random map " + std::to_string(n) + " of " + std::to_string(map.rows) + " by " +
                                     std::to_string(map.columns));
        if (HasFailure()) break;
    }
}
