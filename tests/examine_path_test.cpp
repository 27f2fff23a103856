#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <string>
#include <vector>

#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "examine/results_texts.h"
#include "test_files.h"

using filemaker::GameFile;
using filemaker::MapSpec;
using filemaker::UnitTable;
using testfiles::TempFolder;

namespace {

MapSpec SmallMap() { return filemaker::MapFromText({"LLLL", "WLLW", "LLWL", "LLLL"}); }

UnitTable SampleUnits() {
    UnitTable units{};
    for (int p = 0; p < 6; ++p)
        for (int k = 0; k < 15; ++k) units[p][k] = 100 * p + k;
    units[0][0] = -1;
    units[2][7] = std::numeric_limits<int32_t>::min();
    units[5][14] = std::numeric_limits<int32_t>::max();
    return units;
}

// A value that no examination writes, to see what it leaves alone.
void MarkPlayerUnits() {
    for (auto& player : examineResults.playerUnits) player.fill(-7777);
}
bool PlayerUnitsMarked() {
    for (const auto& player : examineResults.playerUnits)
        for (int32_t count : player)
            if (count != -7777) return false;
    return true;
}

LoadStatus Examine(FileKind kind, const GameFile& file) {
    TempFolder folder;
    return ExaminePath(kind, folder.Write("test.file", file));
}

}  // namespace

// ---- Scenario units --------------------------------------------------------

TEST(ScenarioUnits, UnitTableIsCopiedUnalteredWhateverSurroundsIt) {
    GameFile plain = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    GameFile surrounded = plain;
    std::vector<uint8_t>& data = surrounded.chunks[2].data;
    for (int at : {0, 1, 2, 3, 364, 370, 375}) data[at] = 0xFF;
    data.insert(data.end(), 50, 0xFF);
    GameFile runningOn = plain;  // the read runs into the chunk after it
    runningOn.chunks[2].data.resize(300);
    runningOn.chunks.push_back({"ZZZZ", 0, std::vector<uint8_t>(100, 0), {}, {}, {}});
    for (const GameFile& file : {plain, surrounded}) {
        MarkPlayerUnits();
        ASSERT_EQ(Examine(FileKind::Scenario, file), LoadSucceeded);
        EXPECT_EQ(examineResults.playerUnits, SampleUnits());
    }
    ASSERT_EQ(Examine(FileKind::Scenario, runningOn), LoadSucceeded);
    EXPECT_EQ(examineResults.playerUnits[0], SampleUnits()[0]);
}

TEST(ScenarioUnits, MissingOrShortScenarioDataIsBadDataAndLeavesTheUnitsAlone) {
    GameFile missing = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    missing.chunks.pop_back();
    GameFile cut = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    cut.chunks[2].data.resize(375);  // the file ends one byte short
    GameFile renamed = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    renamed.chunks[2].number = 1;
    for (const GameFile& file : {missing, cut, renamed}) {
        MarkPlayerUnits();
        EXPECT_EQ(Examine(FileKind::Scenario, file), LoadChunkUnreadable);
        EXPECT_TRUE(PlayerUnitsMarked());
    }
}

TEST(ScenarioUnits, NeitherAMapNorAScenarioWhoseMapStatisticsFailReadsTheUnits) {
    GameFile mapWithUnits = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    mapWithUnits.typeTag = "CMAP";
    MarkPlayerUnits();
    EXPECT_EQ(Examine(FileKind::Map, mapWithUnits), LoadSucceeded);
    EXPECT_TRUE(PlayerUnitsMarked());

    GameFile noCity = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    noCity.chunks.erase(noCity.chunks.begin() + 1);
    EXPECT_EQ(Examine(FileKind::Scenario, noCity), LoadChunkUnreadable);
    EXPECT_TRUE(PlayerUnitsMarked());
    GameFile negativeCities = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    negativeCities.chunks[1].data = filemaker::CityChunkData({}, -5);
    EXPECT_EQ(Examine(FileKind::Scenario, negativeCities), LoadNoCityMemory);
    EXPECT_TRUE(PlayerUnitsMarked());
}

// ---- The examination -------------------------------------------------------

TEST(ExaminePath, FileThatCannotBeOpenedGivesTheOpenStatusLeavesTheRecordAndNoFileOpen) {
    TempFolder folder;
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("sound.map", filemaker::MapFile(SmallMap(), {{9, 9}}))),
              LoadSucceeded);
    const ExamineResults before = examineResults;

    GameFile old = filemaker::MapFile(SmallMap(), {});
    old.version = 0;
    GameFile newer = filemaker::MapFile(SmallMap(), {});
    newer.version = 2;
    struct Case {
        FileKind kind;
        std::string path;
        LoadStatus expected;
    };
    const Case cases[] = {
        {FileKind::Map, (folder.path() / "missing.map").string(), LoadCannotOpen},
        {FileKind::Map, folder.path().string(), LoadCannotOpen},  // a folder
        {FileKind::Map, "", LoadCannotOpen},
        {FileKind::Map, folder.Write("short.map", std::vector<uint8_t>(20, 0)), LoadBadHeaders},
        {FileKind::Map, folder.Write("scenario.scn",
                                     filemaker::ScenarioFile(SmallMap(), {}, SampleUnits())),
         LoadWrongTag},
        {FileKind::Scenario, folder.Write("map.map", filemaker::MapFile(SmallMap(), {})),
         LoadWrongTag},
        {FileKind::Map, folder.Write("old.map", old), LoadVersionTooOld},
        {FileKind::Map, folder.Write("newer.map", newer), LoadVersionTooNew},
    };
    const int filesBefore = testfiles::OpenFileCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExaminePath(c.kind, c.path), c.expected);
        EXPECT_EQ(examineResults.rows, before.rows);
        EXPECT_EQ(examineResults.cityCount, before.cityCount);
        EXPECT_EQ(examineResults.terrainCounts, before.terrainCounts);
        EXPECT_EQ(examineResults.waterMassCount, before.waterMassCount);
    }
    EXPECT_EQ(testfiles::OpenFileCount(), filesBefore);
}

// ---- The error text --------------------------------------------------------

TEST(LoadStatusMessage, NamesTheKindAndThePathAndGivesTheReasonOfTheStatus) {
    const std::pair<LoadStatus, const char*> reasons[] = {
        {-2, "File data is bad."},
        {-4, "File data is bad."},
        {-10, "Game is short on memory."},
        {-11, "Unable to find file."},
        {-12, "File data is bad."},
        {-13, "File data is bad."},
        {-14, "File is from unsupported version of Corvanta."},
        {-15, "File is from newer version of Corvanta. An update may be available."},
    };
    for (const auto& [status, reason] : reasons) {
        EXPECT_EQ(LoadStatusMessage("Map", "c:\\corvanta\\map\\world.map", status),
                  std::string("Error loading Map file\nc:\\corvanta\\map\\world.map\n") + reason);
        EXPECT_EQ(LoadStatusMessage("Scenario", "c:\\x.scn", status),
                  std::string("Error loading Scenario file\nc:\\x.scn\n") + reason);
    }
    const std::string longPath = "c:\\" + std::string(10000, 'd') + "\\world.map";
    EXPECT_EQ(LoadStatusMessage("Map", longPath, -11),
              "Error loading Map file\n" + longPath + "\nUnable to find file.");
}

// ---- The figures as the results show them ----------------------------------

TEST(ResultsTexts, AverageEfficiencyDropsTheRemainderAndIsADashWithoutCities) {
    ExamineResults results;
    EXPECT_EQ(AverageProductionEfficiencyText(results), "-");
    results.cityCount = 3;
    results.productionEfficiencySum = 50 + 50 + 51;
    EXPECT_EQ(AverageProductionEfficiencyText(results), "50");
    results.cityCount = 2;
    results.productionEfficiencySum = 255 + 254;
    EXPECT_EQ(AverageProductionEfficiencyText(results), "254");
}

TEST(ResultsTexts, TerrainShareIsOfRowsTimesColumnsWithTheRemainderDropped) {
    ExamineResults results;
    results.rows = 10;
    results.columns = 30;
    results.terrainCounts[static_cast<int>(TerrainClass::Water)] = 100;
    results.terrainCounts[static_cast<int>(TerrainClass::Clear)] = 200;
    EXPECT_EQ(TotalSquares(results), 300);
    EXPECT_EQ(TerrainPercentageText(results, static_cast<int>(TerrainClass::Water)), "33");
    EXPECT_EQ(TerrainPercentageText(results, static_cast<int>(TerrainClass::Clear)), "66");
    EXPECT_EQ(TerrainPercentageText(results, static_cast<int>(TerrainClass::City)), "0");
    results.rows = 1;  // more squares counted than the grid holds
    EXPECT_EQ(TerrainPercentageText(results, static_cast<int>(TerrainClass::Water)), "333");
    for (const auto& [rows, columns] : {std::pair{0, 30}, std::pair{10, 0}}) {
        results.rows = rows;
        results.columns = columns;
        for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
            EXPECT_EQ(TerrainPercentageText(results, terrainClass), "-") << rows << "x" << columns;
    }
}

TEST(ResultsTexts, CountsWrapAndTitleShowAsTheResultsDo) {
    EXPECT_EQ(MassCountText(254), "254");
    EXPECT_EQ(MassCountText(255), ">255");
    EXPECT_EQ(NumberText(-2147483647 - 1), "-2147483648");
    ExamineResults results;
    results.wraps = 1;
    EXPECT_EQ(WrapText(results), "YES");
    results.wraps = 0;
    EXPECT_EQ(WrapText(results), "NO");
    results.fileName = "world.map";
    EXPECT_EQ(ResultsTitle(results), "Results for Map File: world.map");
    results.kind = FileKind::Scenario;
    EXPECT_EQ(ResultsTitle(results), "Results for Scenario File: world.map");
}
