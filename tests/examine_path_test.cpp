#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <tuple>

#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "analysis/terrain_class.h"
#include "examine/results_texts.h"
#include "test_files.h"

using filemaker::GameFile;
using filemaker::ScenarioFile;
using filemaker::UnitTable;
using testfiles::SmallMap;
using testfiles::TempFolder;

namespace {

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
    const auto figures = [](const ExamineResults& r) {
        return std::tuple(r.rows, r.cityCount, r.terrainCounts, r.waterMassCount);
    };
    const auto before = figures(examineResults);
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
        EXPECT_EQ(figures(examineResults), before);
        EXPECT_FALSE(testfiles::HeldOpen(path)) << path;
    }
}

TEST(LoadStatusMessage, NamesTheKindAndThePathAndGivesTheReasonOfTheStatus) {
    const std::pair<LoadStatus, const char*> reasons[] = {
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
