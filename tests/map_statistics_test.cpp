#include <gtest/gtest.h>

#include <tuple>

#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "test_files.h"

using filemaker::GameFile;
using filemaker::MapFile;
using filemaker::MapLayout;
using filemaker::WaterCode;
using testfiles::SmallMap;

namespace {

LoadStatus ExamineMap(const GameFile& file) {
    testfiles::TempFolder folder;
    return ExaminePath(FileKind::Map, folder.Write("test.map", file));
}

using TerrainCounts = std::array<int32_t, TerrainClassCount>;  // City, Water, Clear, ...
using Specialties = std::array<int32_t, SpecialtyCount>;

// Every figure that the map statistics and the labelling write.
auto Figures(const ExamineResults& r) {
    return std::tuple(r.rows, r.columns, r.wraps, r.terrainCounts, r.cityCount, r.productionEfficiencySum,
                      r.specialtyCounts, r.waterMassCount, r.landMassCount);
}

}  // namespace

TEST(MapStatistics, EveryTerrainCodeCountsInItsClassAndCodesPast195InNone) {
    MapLayout map{16, 16, {}, {}, 0, 0, {}};
    for (int code = 0; code < 256; ++code) map.squares.push_back(static_cast<uint8_t>(code));
    ASSERT_EQ(ExamineMap(MapFile(map, {})), LoadSucceeded);
    // City 162-163, 180-187, 194-195; Water 2-33; Clear 0-1; Forest 34-65;
    // Mountain 98-129; River 130-161; Rough 66-97; Edge 164-179, 188-193.
    EXPECT_EQ(examineResults.terrainCounts, (TerrainCounts{12, 32, 2, 32, 32, 32, 32, 22}));
}

TEST(MapStatistics, ExactlySquareCountSquaresAreCountedWhateverTheGrid) {
    MapLayout below = SmallMap();  // 4 by 5, but only 7 squares in the file
    below.squares.resize(7);
    ASSERT_EQ(ExamineMap(MapFile(below, {})), LoadSucceeded);
    EXPECT_EQ(examineResults.terrainCounts, (TerrainCounts{0, 2, 5}));
    MapLayout above = SmallMap();  // 20 squares of the grid and 6 more
    above.squares.insert(above.squares.end(), 6, WaterCode);
    ASSERT_EQ(ExamineMap(MapFile(above, {})), LoadSucceeded);
    EXPECT_EQ(examineResults.terrainCounts, (TerrainCounts{0, 11, 15}));
    EXPECT_EQ(examineResults.waterMassCount, 2);
    EXPECT_EQ(examineResults.landMassCount, 2);  // (2,0) meets (2,4) only across the seam
}

TEST(MapStatistics, AnyNonZeroWrapFlagWrapsAndUninterpretedHeaderBytesHaveNoEffect) {
    for (int flag : {0, 1, 2, 0x80, 0xFF}) {
        MapLayout map = SmallMap();
        map.wrapFlag = static_cast<uint8_t>(flag);
        ASSERT_EQ(ExamineMap(MapFile(map, {})), LoadSucceeded);
        EXPECT_EQ(examineResults.wraps, flag != 0 ? 1 : 0) << "flag " << flag;
    }
    GameFile file = MapFile(SmallMap(), {{10, 3}});
    ASSERT_EQ(ExamineMap(file), LoadSucceeded);
    const auto plain = Figures(examineResults);
    for (int at : {4, 5, 6, 7, 11}) file.chunks[0].data[at] = 0xFF;
    ASSERT_EQ(ExamineMap(file), LoadSucceeded);
    EXPECT_EQ(Figures(examineResults), plain);
}

TEST(MapStatistics, CityRecordsGiveTheEfficiencySumAndTheSpecialtyCounts) {
    ASSERT_EQ(ExamineMap(MapFile(SmallMap(), {{50, 0}, {50, 3}, {51, 13}, {200, 14}, {255, 255}, {7, 3}})),
              LoadSucceeded);
    EXPECT_EQ(examineResults.cityCount, 6);
    EXPECT_EQ(examineResults.productionEfficiencySum, 50 + 50 + 51 + 200 + 255 + 7);
    EXPECT_EQ(examineResults.specialtyCounts, (Specialties{1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    // A count of 0 reads no records; a negative one can be given no memory.
    GameFile file = MapFile(SmallMap(), {});
    for (int16_t count : {0, -1, -32768}) {
        file.chunks[1].data = filemaker::CityChunkData({{90, 4}, {90, 5}}, count);
        EXPECT_EQ(ExamineMap(file), count == 0 ? LoadSucceeded : LoadNoCityMemory) << count;
        EXPECT_EQ(examineResults.cityCount, count);
        EXPECT_EQ(examineResults.productionEfficiencySum, 0);
        EXPECT_EQ(examineResults.specialtyCounts, Specialties{});
    }
}

TEST(MapStatistics, MissingOrCutChunksAreBadDataAfterWhatWasDoneBefore) {
    GameFile noCity = MapFile(SmallMap(), {});
    noCity.chunks.pop_back();
    examineResults.waterMassCount = examineResults.landMassCount = 77;
    EXPECT_EQ(ExamineMap(noCity), LoadChunkUnreadable);
    EXPECT_EQ(examineResults.terrainCounts, (TerrainCounts{0, 5, 15}));
    EXPECT_EQ(examineResults.waterMassCount, 2);
    EXPECT_EQ(examineResults.landMassCount, 2);
    GameFile noMap = MapFile(SmallMap(), {});
    noMap.chunks[0].tag = "MAPd";
    EXPECT_EQ(ExamineMap(noMap), LoadChunkUnreadable);
    // Cut within the map header, the squares, the city count or the records.
    const std::vector<uint8_t> sound = filemaker::Build(MapFile(SmallMap(), {{10, 3}, {20, 4}}));
    testfiles::TempFolder folder;
    for (size_t length = 26 + 2 * 12; length < sound.size(); ++length)
        EXPECT_EQ(ExaminePath(FileKind::Map, folder.Write("cut.map", {sound.begin(), sound.begin() + length})),
                  LoadChunkUnreadable)
            << "cut after " << length << " bytes";
    EXPECT_EQ(ExaminePath(FileKind::Map, folder.Write("whole.map", sound)), LoadSucceeded);
}

TEST(MapStatistics, SecondExaminationCarriesNothingOfTheFirst) {
    MapLayout first{6, 6, std::vector<uint8_t>(36, WaterCode), {}, 1, 0, {}};
    ASSERT_EQ(ExamineMap(MapFile(first, {{40, 9}, {60, 12}})), LoadSucceeded);
    ASSERT_EQ(examineResults.waterMassCount, 1);
    // Only row 0 is in the file: the other squares must read as Clear, not as the first map's water.
    MapLayout second{6, 6, std::vector<uint8_t>(6, filemaker::ClearCode), {}, 0, 0, {}};
    ASSERT_EQ(ExamineMap(MapFile(second, {})), LoadSucceeded);
    EXPECT_EQ(Figures(examineResults), std::tuple(6, 6, uint8_t{0}, TerrainCounts{0, 0, 6},
                                                  int16_t{0}, 0, Specialties{}, 0, 1));
}
