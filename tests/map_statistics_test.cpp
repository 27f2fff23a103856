#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/terrain_class.h"
#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "test_files.h"

using filemaker::City;
using filemaker::GameFile;
using filemaker::MapSpec;
using filemaker::WaterCode;

namespace {

LoadStatus ExamineMap(const GameFile& file) {
    testfiles::TempFolder folder;
    return ExaminePath(FileKind::Map, folder.Write("test.map", file));
}

int32_t Count(TerrainClass terrainClass) {
    return examineResults.terrainCounts[static_cast<int>(terrainClass)];
}

// Every figure that the map statistics and the labelling write, in one text.
std::string Figures(const ExamineResults& r) {
    std::string text = std::to_string(r.rows) + "x" + std::to_string(r.columns) +
                       " wraps " + std::to_string(r.wraps) + " terrain";
    for (int32_t count : r.terrainCounts) text += " " + std::to_string(count);
    text += " cities " + std::to_string(r.cityCount) + " sum " +
            std::to_string(r.productionEfficiencySum) + " specialties";
    for (int32_t count : r.specialtyCounts) text += " " + std::to_string(count);
    return text + " masses " + std::to_string(r.waterMassCount) + " " +
           std::to_string(r.landMassCount);
}

MapSpec SmallMap() {
    return filemaker::MapFromText({"LLLLL", "WWLLW", "LWLWL", "LLLLL"});
}

}  // namespace

TEST(MapStatistics, EveryTerrainCodeCountsInItsClassAndCodesPast195InNone) {
    MapSpec map;
    map.rows = 16;
    map.columns = 16;
    for (int code = 0; code < 256; ++code) map.squares.push_back(static_cast<uint8_t>(code));
    ASSERT_EQ(ExamineMap(filemaker::MapFile(map, {})), LoadSucceeded);
    EXPECT_EQ(examineResults.rows, 16);
    EXPECT_EQ(examineResults.columns, 16);
    const std::array<int32_t, TerrainClassCount> expected = {
        12,  // City: 162-163, 180-187, 194-195
        32,  // Water: 2-33
        2,   // Clear: 0-1
        32,  // Forest: 34-65
        32,  // Mountain: 98-129
        32,  // River: 130-161
        32,  // Rough: 66-97
        22,  // Edge: 164-179, 188-193
    };
    EXPECT_EQ(examineResults.terrainCounts, expected);
}

TEST(MapStatistics, ExactlySquareCountSquaresAreCountedWhateverTheGrid) {
    MapSpec below = SmallMap();  // 4 by 5, but only 7 squares in the file
    below.squares.resize(7);
    ASSERT_EQ(ExamineMap(filemaker::MapFile(below, {})), LoadSucceeded);
    EXPECT_EQ(Count(TerrainClass::Clear), 5);
    EXPECT_EQ(Count(TerrainClass::Water), 2);

    MapSpec above = SmallMap();  // 20 squares of the grid and 6 more
    above.squares.insert(above.squares.end(), 6, WaterCode);
    ASSERT_EQ(ExamineMap(filemaker::MapFile(above, {})), LoadSucceeded);
    EXPECT_EQ(Count(TerrainClass::Clear), 15);
    EXPECT_EQ(Count(TerrainClass::Water), 11);
    EXPECT_EQ(examineResults.waterMassCount, 2);
    EXPECT_EQ(examineResults.landMassCount, 2);  // (2,0) meets (2,4) only across the seam
}

TEST(MapStatistics, AnyNonZeroWrapFlagMeansTheMapWraps) {
    for (int flag : {0, 1, 2, 0x80, 0xFF}) {
        MapSpec map = SmallMap();
        map.wrapFlag = static_cast<uint8_t>(flag);
        ASSERT_EQ(ExamineMap(filemaker::MapFile(map, {})), LoadSucceeded);
        EXPECT_EQ(examineResults.wraps, flag != 0 ? 1 : 0) << "flag " << flag;
    }
}

TEST(MapStatistics, UninterpretedMapHeaderBytesHaveNoEffect) {
    const MapSpec map = SmallMap();
    ASSERT_EQ(ExamineMap(filemaker::MapFile(map, {{10, 3}})), LoadSucceeded);
    const std::string plain = Figures(examineResults);
    GameFile file = filemaker::MapFile(map, {{10, 3}});
    for (int at : {4, 5, 6, 7, 11}) file.chunks[0].data[at] = 0xFF;
    ASSERT_EQ(ExamineMap(file), LoadSucceeded);
    EXPECT_EQ(Figures(examineResults), plain);
}

TEST(MapStatistics, CityRecordsGiveTheEfficiencySumAndTheSpecialtyCounts) {
    const std::vector<City> cities = {
        {50, 0}, {50, 3}, {51, 13}, {200, 14}, {255, 255}, {7, 3},
    };
    ASSERT_EQ(ExamineMap(filemaker::MapFile(SmallMap(), cities)), LoadSucceeded);
    EXPECT_EQ(examineResults.cityCount, 6);
    EXPECT_EQ(examineResults.productionEfficiencySum, 50 + 50 + 51 + 200 + 255 + 7);
    std::array<int32_t, SpecialtyCount> specialties{};
    specialties[0] = 1;
    specialties[3] = 2;
    specialties[13] = 1;
    EXPECT_EQ(examineResults.specialtyCounts, specialties);
}

TEST(MapStatistics, CityCountOfZeroReadsNothingFurther) {
    GameFile file = filemaker::MapFile(SmallMap(), {});
    ASSERT_EQ(file.chunks[1].data.size(), 2u);  // the CITY chunk ends the file
    ASSERT_EQ(ExamineMap(file), LoadSucceeded);
    // Records after a count of 0 are never read.
    file.chunks[1].data = filemaker::CityChunkData({{90, 4}, {90, 5}}, 0);
    ASSERT_EQ(ExamineMap(file), LoadSucceeded);
    EXPECT_EQ(examineResults.cityCount, 0);
    EXPECT_EQ(examineResults.productionEfficiencySum, 0);
    EXPECT_EQ(examineResults.specialtyCounts, (std::array<int32_t, SpecialtyCount>{}));
}

TEST(MapStatistics, NegativeCityCountCanBeGivenNoMemory) {
    for (int16_t count : {int16_t{-1}, int16_t{-32768}}) {
        GameFile file = filemaker::MapFile(SmallMap(), {});
        file.chunks[1].data = filemaker::CityChunkData({{10, 3}}, count);
        EXPECT_EQ(ExamineMap(file), LoadNoCityMemory) << count;
        EXPECT_EQ(examineResults.cityCount, count);
        EXPECT_EQ(examineResults.productionEfficiencySum, 0);
    }
}

TEST(MapStatistics, MissingOrShortChunksAreBadDataAfterWhatWasDoneBefore) {
    GameFile noCity = filemaker::MapFile(SmallMap(), {});
    noCity.chunks.pop_back();
    examineResults.waterMassCount = 77;
    examineResults.landMassCount = 77;
    EXPECT_EQ(ExamineMap(noCity), LoadChunkUnreadable);
    EXPECT_EQ(Count(TerrainClass::Water), 5);
    EXPECT_EQ(examineResults.waterMassCount, 2);
    EXPECT_EQ(examineResults.landMassCount, 2);

    GameFile shortRecords = filemaker::MapFile(SmallMap(), {{10, 3}, {20, 4}});
    shortRecords.chunks[1].data = filemaker::CityChunkData({{10, 3}, {20, 4}}, 3);
    EXPECT_EQ(ExamineMap(shortRecords), LoadChunkUnreadable);
    EXPECT_EQ(examineResults.cityCount, 3);
    EXPECT_EQ(Count(TerrainClass::Clear), 15);

    GameFile noMap = filemaker::MapFile(SmallMap(), {});
    noMap.chunks.erase(noMap.chunks.begin());
    EXPECT_EQ(ExamineMap(noMap), LoadChunkUnreadable);
}

TEST(MapStatistics, FileCutAnywhereAfterItsDirectoryIsBadData) {
    const std::vector<uint8_t> sound =
        filemaker::Build(filemaker::MapFile(SmallMap(), {{10, 3}, {20, 4}}));
    constexpr size_t DirectoryEnd = 26 + 2 * 12;
    testfiles::TempFolder folder;
    for (size_t length = DirectoryEnd; length < sound.size(); ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        const std::string path = folder.Write("cut.map", testfiles::Truncated(sound, length));
        EXPECT_EQ(ExaminePath(FileKind::Map, path), LoadChunkUnreadable);
    }
    EXPECT_EQ(ExaminePath(FileKind::Map, folder.Write("whole.map", sound)), LoadSucceeded);
}

TEST(MapStatistics, SecondExaminationCarriesNothingOfTheFirst) {
    MapSpec first;
    first.rows = 6;
    first.columns = 6;
    first.squares.assign(36, WaterCode);
    first.wrapFlag = 1;
    ASSERT_EQ(ExamineMap(filemaker::MapFile(first, {{40, 9}, {60, 12}})), LoadSucceeded);
    ASSERT_EQ(examineResults.waterMassCount, 1);

    // Only row 0 is in the file: the other squares must read as Clear, not as
    // the first map's water.
    MapSpec second;
    second.rows = 6;
    second.columns = 6;
    second.squares.assign(6, filemaker::ClearCode);
    ASSERT_EQ(ExamineMap(filemaker::MapFile(second, {})), LoadSucceeded);
    EXPECT_EQ(Figures(examineResults),
              "6x6 wraps 0 terrain 0 0 6 0 0 0 0 0 cities 0 sum 0 specialties"
              " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 masses 0 1");
}
