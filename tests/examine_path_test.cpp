// What the examination of a file leaves in the record: the map statistics, a scenario's units, and the
// statuses and messages of files that fail.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <tuple>

#include "analysis/examine_results.h"
#include "analysis/terrain_class.h"
#include "examine/examine_path.h"
#include "examine/results_texts.h"
#include "test_files.h"

using filemaker::GameFile;
using filemaker::MapFile;
using filemaker::MapLayout;
using filemaker::ScenarioFile;
using filemaker::UnitTable;
using filemaker::WaterCode;
using testfiles::SmallMap;
using testfiles::TempFolder;

namespace {

LoadStatus ExamineMap(const GameFile& file) {
    TempFolder folder;
    return ExaminePath(FileKind::Map, folder.Write("test.map", file));
}

using TerrainCounts = std::array<int32_t, TerrainClassCount>;  // City, Water, Clear, ...
using Specialties = std::array<int32_t, SpecialtyCount>;

// Every figure that the map statistics and the labelling write.
auto Figures(const ExamineResults& r) {
    return std::tuple(r.rows, r.columns, r.wraps, r.terrainCounts, r.cityCount, r.productionEfficiencySum,
                      r.specialtyCounts, r.waterMassCount, r.landMassCount);
}

UnitTable SampleUnits() {
    UnitTable units{};
    for (int p = 0; p < 6; ++p)
        for (int k = 0; k < 15; ++k) units[p][k] = 100 * p + k;
    units[0][0] = -1;
    units[2][7] = std::numeric_limits<int32_t>::min();
    units[5][14] = std::numeric_limits<int32_t>::max();
    return units;
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
    TempFolder folder;
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

TEST(ScenarioUnits, UnitTableIsCopiedUnalteredOnlyFromASoundScenario) {
    struct Case {
        const char* what;
        std::function<void(GameFile&)> change;
        LoadStatus expected;
        FileKind kind = FileKind::Scenario;
    };
    const Case cases[] = {
        {"sound", [](GameFile&) {}, LoadSucceeded},
        {"bytes around the table set", [](GameFile& f) {
             for (int at : {0, 1, 2, 3, 364, 370, 375}) f.chunks[2].data[at] = 0xFF;
             f.chunks[2].data.resize(426, 0xFF); }, LoadSucceeded},
        {"no scenario data", [](GameFile& f) { f.chunks.pop_back(); }, LoadChunkUnreadable},
        {"file ends one byte short", [](GameFile& f) { f.chunks[2].data.resize(375); }, LoadChunkUnreadable},
        {"scenario data numbered 1", [](GameFile& f) { f.chunks[2].number = 1; }, LoadChunkUnreadable},
        {"map statistics fail", [](GameFile& f) { f.chunks.erase(f.chunks.begin() + 1); }, LoadChunkUnreadable},
        {"no memory for cities", [](GameFile& f) { f.chunks[1].data = filemaker::CityChunkData({}, -5); },
         LoadNoCityMemory},
        {"examined as a map", [](GameFile& f) { f.typeTag = "CMAP"; }, LoadSucceeded, FileKind::Map},
    };
    UnitTable untouched;  // values that no examination writes
    for (auto& player : untouched) player.fill(-7777);
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameFile file = ScenarioFile(SmallMap(), {}, SampleUnits());
        c.change(file);
        examineResults.playerUnits = untouched;
        EXPECT_EQ(ExaminePath(c.kind, folder.Write("units.scn", file)), c.expected);
        const bool copied = c.expected == LoadSucceeded && c.kind == FileKind::Scenario;
        EXPECT_EQ(examineResults.playerUnits, copied ? SampleUnits() : untouched);
    }
}

TEST(ExaminePath, FileThatCannotBeOpenedGivesTheOpenStatusLeavesTheRecordAndNoFileOpen) {
    TempFolder folder;
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("sound.map", filemaker::MapFile(SmallMap(), {{9, 9}}))),
              LoadSucceeded);
    const auto before = Figures(examineResults);
    GameFile old = filemaker::MapFile(SmallMap(), {}), newer = old;
    old.version = 0;
    newer.version = 2;
    const std::tuple<FileKind, std::string, LoadStatus> cases[] = {
        {FileKind::Map, folder.PathOf("missing.map"), LoadCannotOpen},
        {FileKind::Map, folder.Write("scenario.scn", ScenarioFile(SmallMap(), {}, SampleUnits())), LoadWrongTag},
        {FileKind::Scenario, folder.Write("map.map", filemaker::MapFile(SmallMap(), {})), LoadWrongTag},
        {FileKind::Map, folder.Write("old.map", old), LoadVersionTooOld},
        {FileKind::Map, folder.Write("newer.map", newer), LoadVersionTooNew},
    };
    for (const auto& [kind, path, expected] : cases) {
        EXPECT_EQ(ExaminePath(kind, path), expected) << path;
        EXPECT_EQ(Figures(examineResults), before);
        EXPECT_FALSE(testfiles::HeldOpen(path)) << path;
    }
}

TEST(LoadStatusMessage, NamesTheKindAndThePathAndGivesTheReasonOfTheStatus) {
    const std::pair<LoadStatus, const char*> reasons[] = {
        {-1, "File is neither a Corvanta map nor a scenario."},
        {-2, "File data is bad."},  {-4, "File data is bad."},  {-10, "Game is short on memory."},
        {-11, "Unable to find file."}, {-12, "File data is bad."}, {-13, "File data is bad."},
        {-14, "File is from unsupported version of Corvanta."},
        {-15, "File is from newer version of Corvanta. An update may be available."},
    };
    for (const auto& [status, reason] : reasons)
        EXPECT_EQ(LoadStatusMessage("Scenario", "c:\\corvanta\\map\\world.scn", status),
                  std::string("Error loading Scenario file\nc:\\corvanta\\map\\world.scn\n") + reason);
    const std::string longPath = "c:\\" + std::string(10000, 'd') + "\\world.map";
    EXPECT_EQ(LoadStatusMessage("Map", longPath, -11),
              "Error loading Map file\n" + longPath + "\nUnable to find file.");
}

TEST(ResultsTexts, AverageAndSharesAreADashWithoutADivisorAndTheCountStopsAt255) {
    ExamineResults results;
    EXPECT_EQ(AverageProductionEfficiencyText(results), "-");
    results.cityCount = 3;
    results.productionEfficiencySum = 50 + 50 + 51;
    EXPECT_EQ(AverageProductionEfficiencyText(results), "50");
    results.rows = 10;
    results.columns = 30;
    results.terrainCounts[static_cast<int>(TerrainClass::Water)] = 100;
    EXPECT_EQ(TerrainPercentageText(results, static_cast<int>(TerrainClass::Water)), "33");
    for (const auto& [rows, columns] : {std::pair{0, 30}, std::pair{10, 0}}) {
        results.rows = rows;
        results.columns = columns;
        for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
            EXPECT_EQ(TerrainPercentageText(results, terrainClass), "-") << rows << "x" << columns;
    }
    EXPECT_EQ(MassCountText(254), "254");
    EXPECT_EQ(MassCountText(255), ">255");
}
