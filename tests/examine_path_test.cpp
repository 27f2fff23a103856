#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "examine/results_texts.h"
#include "test_files.h"

using filemaker::City;
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

TEST(ScenarioUnits, UnitTableIsCopiedUnalteredNegativeValuesIncluded) {
    MarkPlayerUnits();
    ASSERT_EQ(Examine(FileKind::Scenario, filemaker::ScenarioFile(SmallMap(), {}, SampleUnits())),
              LoadSucceeded);
    EXPECT_EQ(examineResults.playerUnits, SampleUnits());
}

TEST(ScenarioUnits, BytesAroundTheUnitTableHaveNoEffect) {
    GameFile file = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    std::vector<uint8_t>& data = file.chunks[2].data;
    for (int at = 0; at < 4; ++at) data[at] = 0xFF;
    for (int at = 364; at < 376; ++at) data[at] = 0xFF;
    data.insert(data.end(), 50, 0xFF);  // and whatever follows them
    ASSERT_EQ(Examine(FileKind::Scenario, file), LoadSucceeded);
    EXPECT_EQ(examineResults.playerUnits, SampleUnits());
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

TEST(ScenarioUnits, ScenarioDataReadRunsIntoWhatFollowsTheChunk) {
    GameFile file = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    file.chunks[2].data.resize(300);
    file.chunks.push_back({"ZZZZ", 0, std::vector<uint8_t>(100, 0), {}, {}, {}});
    ASSERT_EQ(Examine(FileKind::Scenario, file), LoadSucceeded);
    EXPECT_EQ(examineResults.playerUnits[0], SampleUnits()[0]);
}

TEST(ScenarioUnits, MapExaminationNeverTouchesTheUnits) {
    GameFile mapWithUnits = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    mapWithUnits.typeTag = "CMAP";
    MarkPlayerUnits();
    ASSERT_EQ(Examine(FileKind::Map, mapWithUnits), LoadSucceeded);
    EXPECT_TRUE(PlayerUnitsMarked());
}

TEST(ScenarioUnits, ScenarioWhoseMapStatisticsFailNeverReadsItsUnits) {
    GameFile noCity = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    noCity.chunks.erase(noCity.chunks.begin() + 1);
    MarkPlayerUnits();
    EXPECT_EQ(Examine(FileKind::Scenario, noCity), LoadChunkUnreadable);
    EXPECT_TRUE(PlayerUnitsMarked());

    GameFile negativeCities = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    negativeCities.chunks[1].data = filemaker::CityChunkData({}, -5);
    EXPECT_EQ(Examine(FileKind::Scenario, negativeCities), LoadNoCityMemory);
    EXPECT_TRUE(PlayerUnitsMarked());
}

// ---- The examination -------------------------------------------------------

TEST(ExaminePath, FileThatCannotBeOpenedGivesTheOpenStatusAndLeavesTheRecord) {
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
        {FileKind::Map, folder.path().string(), LoadCannotOpen},
        {FileKind::Map, folder.Write("short.map", std::vector<uint8_t>(20, 0)), LoadBadHeaders},
        {FileKind::Map, folder.Write("scenario.scn",
                                     filemaker::ScenarioFile(SmallMap(), {}, SampleUnits())),
         LoadWrongTag},
        {FileKind::Scenario, folder.Write("map.map", filemaker::MapFile(SmallMap(), {})),
         LoadWrongTag},
        {FileKind::Map, folder.Write("old.map", old), LoadVersionTooOld},
        {FileKind::Map, folder.Write("newer.map", newer), LoadVersionTooNew},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExaminePath(c.kind, c.path), c.expected);
        EXPECT_EQ(examineResults.rows, before.rows);
        EXPECT_EQ(examineResults.cityCount, before.cityCount);
        EXPECT_EQ(examineResults.terrainCounts, before.terrainCounts);
        EXPECT_EQ(examineResults.waterMassCount, before.waterMassCount);
    }
}

TEST(ExaminePath, FileIsClosedWhateverTheOutcome) {
    TempFolder folder;
    GameFile noCity = filemaker::ScenarioFile(SmallMap(), {}, SampleUnits());
    noCity.chunks.erase(noCity.chunks.begin() + 1);
    const std::string sound = folder.Write("sound.scn", filemaker::ScenarioFile(SmallMap(), {}, SampleUnits()));
    const std::string broken = folder.Write("broken.scn", noCity);
    const int before = testfiles::OpenFileCount();
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(ExaminePath(FileKind::Scenario, sound), LoadSucceeded);
        EXPECT_EQ(ExaminePath(FileKind::Scenario, broken), LoadChunkUnreadable);
        EXPECT_EQ(ExaminePath(FileKind::Map, sound), LoadWrongTag);
    }
    EXPECT_EQ(testfiles::OpenFileCount(), before);
}

// ---- The error text --------------------------------------------------------

TEST(LoadStatusMessage, NamesTheKindAndThePathAndGivesTheReasonOfTheStatus) {
    struct Case {
        LoadStatus status;
        const char* reason;
    };
    const Case cases[] = {
        {-2, "File data is bad."},
        {-4, "File data is bad."},
        {-10, "Game is short on memory."},
        {-11, "Unable to find file."},
        {-12, "File data is bad."},
        {-13, "File data is bad."},
        {-14, "File is from unsupported version of Corvanta."},
        {-15, "File is from newer version of Corvanta. An update may be available."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadStatusMessage("Map", "c:\\corvanta\\map\\world.map", c.status),
                  std::string("Error loading Map file\nc:\\corvanta\\map\\world.map\n") + c.reason)
            << c.status;
        EXPECT_EQ(LoadStatusMessage("Scenario", "c:\\x.scn", c.status),
                  std::string("Error loading Scenario file\nc:\\x.scn\n") + c.reason)
            << c.status;
    }
}

TEST(LoadStatusMessage, HoldsAPathOfAnyLength) {
    const std::string path = "c:\\" + std::string(10000, 'd') + "\\world.map";
    EXPECT_EQ(LoadStatusMessage("Map", path, -15),
              "Error loading Map file\n" + path +
                  "\nFile is from newer version of Corvanta. An update may be available.");
}

// ---- The figures as the results show them ----------------------------------

TEST(ResultsTexts, AverageEfficiencyDropsTheRemainderAndIsADashWithoutCities) {
    TempFolder folder;
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("none.map", filemaker::MapFile(SmallMap(), {}))),
              LoadSucceeded);
    EXPECT_EQ(AverageProductionEfficiencyText(examineResults), "-");
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("three.map", filemaker::MapFile(
                                                                        SmallMap(), {{50, 0}, {50, 0}, {51, 0}}))),
              LoadSucceeded);
    EXPECT_EQ(AverageProductionEfficiencyText(examineResults), "50");
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("high.map", filemaker::MapFile(
                                                                       SmallMap(), {{255, 0}, {254, 0}}))),
              LoadSucceeded);
    EXPECT_EQ(AverageProductionEfficiencyText(examineResults), "254");
}

TEST(ResultsTexts, TerrainShareIsOfRowsTimesColumnsWithTheRemainderDropped) {
    MapSpec map;
    map.rows = 10;
    map.columns = 30;
    map.squares.assign(300, filemaker::ClearCode);
    for (int i = 0; i < 100; ++i) map.squares[i] = filemaker::WaterCode;
    TempFolder folder;
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("share.map", filemaker::MapFile(map, {}))),
              LoadSucceeded);
    EXPECT_EQ(TotalSquares(examineResults), 300);
    EXPECT_EQ(TerrainPercentageText(examineResults, static_cast<int>(TerrainClass::Water)), "33");
    EXPECT_EQ(TerrainPercentageText(examineResults, static_cast<int>(TerrainClass::Clear)), "66");
    EXPECT_EQ(TerrainPercentageText(examineResults, static_cast<int>(TerrainClass::City)), "0");

    // More squares than the grid: a share above 100.
    MapSpec crowded = filemaker::MapFromText({"WW", "WW"});
    crowded.squares.assign(10, filemaker::WaterCode);
    ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("crowded.map", filemaker::MapFile(crowded, {}))),
              LoadSucceeded);
    EXPECT_EQ(TotalSquares(examineResults), 4);
    EXPECT_EQ(TerrainPercentageText(examineResults, static_cast<int>(TerrainClass::Water)), "250");
}

TEST(ResultsTexts, MapWithoutSquaresShowsADashForEveryShare) {
    for (const MapSpec& map : {MapSpec{0, 30, {}, {}, 0, 0, 0}, MapSpec{10, 0, {1, 2, 3}, {}, 0, 0, 0}}) {
        TempFolder folder;
        ASSERT_EQ(ExaminePath(FileKind::Map, folder.Write("empty.map", filemaker::MapFile(map, {}))),
                  LoadSucceeded);
        EXPECT_EQ(TotalSquares(examineResults), 0);
        for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
            EXPECT_EQ(TerrainPercentageText(examineResults, terrainClass), "-") << terrainClass;
    }
}

TEST(ResultsTexts, MassCountOf255ShowsAsMoreThan255) {
    EXPECT_EQ(MassCountText(0), "0");
    EXPECT_EQ(MassCountText(254), "254");
    EXPECT_EQ(MassCountText(255), ">255");
}

TEST(ResultsTexts, WrapShowsYesOrNoAndTitleNamesKindAndFile) {
    ExamineResults results;
    results.wraps = 1;
    EXPECT_EQ(WrapText(results), "YES");
    results.wraps = 0;
    EXPECT_EQ(WrapText(results), "NO");
    results.fileName = "world.map";
    EXPECT_EQ(ResultsTitle(results), "Results for Map File: world.map");
    results.kind = FileKind::Scenario;
    results.fileName = "war.scn";
    EXPECT_EQ(ResultsTitle(results), "Results for Scenario File: war.scn");
    EXPECT_EQ(NumberText(-2147483647 - 1), "-2147483648");
}
