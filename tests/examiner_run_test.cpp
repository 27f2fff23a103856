// The examiner run as a user runs it: which files it examines, as what kind,
// what the text report shows and which exit status it ends with.

#include <sys/stat.h>

#include "examiner_run.h"

namespace {

using filemaker::City;
using filemaker::MapFile;
using filemaker::MapFromText;
using filemaker::MapSpec;
using filemaker::ScenarioFile;
using filemaker::UnitTable;

MapSpec SmallMap() { return MapFromText({"LLLL", "LWWL", "LLLL"}); }

// 40 by 40 with a water square on every even column of every odd row: more
// separate water masses than the labels can hold.
MapSpec ScatteredLakes() {
    std::vector<std::string> rows(40, std::string(40, 'L'));
    for (size_t row = 1; row < rows.size(); row += 2)
        for (size_t column = 0; column < rows[row].size(); column += 2) rows[row][column] = 'W';
    return MapFromText(std::vector<std::string_view>(rows.begin(), rows.end()));
}

TEST_F(ExaminerTest, TextShowsTheResultsDialogsFiguresOfAMap) {
    MapSpec map = ScatteredLakes();
    map.wrapFlag = 0x80;
    const ProgramRun run = Examine({Write("lakes.map", MapFile(map, {}))});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Results for Map File: " + PathOf("lakes.map")), std::string::npos);
    EXPECT_EQ(ValueAfter(run.out, "Number of Columns :"), "40");
    EXPECT_EQ(ValueAfter(run.out, "Number of Rows :"), "40");
    EXPECT_EQ(ValueAfter(run.out, "Total Squares :"), "1600");
    EXPECT_EQ(ValueAfter(run.out, "Map Wrap :"), "YES");
    EXPECT_EQ(ValueAfter(run.out, "Avg City Prod Eff :"), "-");
    EXPECT_EQ(ValueAfter(run.out, "Number of Water Masses:"), ">255");
    EXPECT_EQ(ValueAfter(run.out, "Number of Land Masses:"), "1");
    EXPECT_EQ(RowOf(run.out, "Terrain"), (std::vector<std::string>{"Terrain", "Number", "%", "of", "Map"}));
    // 400 water squares of 1600; the rest is clear land.
    EXPECT_EQ(RowOf(run.out, "Water"), (std::vector<std::string>{"Water", "400", "25"}));
    EXPECT_EQ(RowOf(run.out, "Clear"), (std::vector<std::string>{"Clear", "1200", "75"}));
    EXPECT_EQ(run.out.find("Unit Counts"), std::string::npos);
}

TEST_F(ExaminerTest, TextShowsTheCitiesAndTheUnitTableOfAScenario) {
    UnitTable units{};
    units[0][0] = 3;    // cities
    units[0][9] = 12;   // IN
    units[5][13] = -7;  // AB, shown with its sign
    units[2][1] = 99;   // not shown
    const std::vector<City> cities{{50, 9}, {50, 9}, {51, 12}, {90, 14}};
    const ProgramRun run = Examine({Write("war.scn", ScenarioFile(SmallMap(), cities, units))});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.out.find("Results for Scenario File: "), std::string::npos);
    EXPECT_EQ(ValueAfter(run.out, "Map Wrap :"), "NO");
    EXPECT_EQ(ValueAfter(run.out, "Avg City Prod Eff :"), "60");  // 241 / 4
    EXPECT_EQ(RowOf(run.out, "IN"), (std::vector<std::string>{"IN", "2", "TR", "0"}));
    EXPECT_EQ(RowOf(run.out, "B"), (std::vector<std::string>{"B", "1", "CR", "0"}));
    EXPECT_EQ(RowOf(run.out, "Player"), (std::vector<std::string>{"Player", "#1", "#2", "#3", "#4", "#5", "#6"}));
    EXPECT_EQ(RowOf(run.out, "City", "Unit Counts"), (std::vector<std::string>{"City", "3", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(RowOf(run.out, "IN", "Unit Counts"), (std::vector<std::string>{"IN", "12", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(RowOf(run.out, "AB", "Unit Counts"), (std::vector<std::string>{"AB", "0", "0", "0", "0", "0", "-7"}));
    EXPECT_EQ(run.out.substr(run.out.find("Unit Counts")).find("99"), std::string::npos);
}

TEST_F(ExaminerTest, AFailingFileIsReportedAndTheOthersAreStillExamined) {
    filemaker::GameFile newer = MapFile(SmallMap(), {});
    newer.version = 2;
    const std::string first = Write("a.map", MapFile(SmallMap(), {}));
    const std::string failing = Write("b.map", newer);
    const std::string last = Write("c.map", MapFile(SmallMap(), {}));
    const ProgramRun run = Examine({first, failing, last});

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    const size_t message = run.out.find("Error loading Map file\n" + failing +
                                        "\nFile is from newer version of Corvanta. An update may be available.\n");
    ASSERT_NE(message, std::string::npos);
    EXPECT_LT(run.out.find("Results for Map File: " + first), message);
    EXPECT_GT(run.out.find("Results for Map File: " + last), message);
}

TEST_F(ExaminerTest, AMissingGameFileIsExaminedAndCannotBeFound) {
    const ProgramRun run = Examine({PathOf("gone.MAP")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "Error loading Map file\n" + PathOf("gone.MAP") + "\nUnable to find file.\n");
}

TEST_F(ExaminerTest, AFolderStandsForItsGameFilesInNameOrder) {
    Write("b.MAP", MapFile(SmallMap(), {}));
    Write("a.scn", ScenarioFile(SmallMap(), {}, {}));
    Write("c.Scn", ScenarioFile(SmallMap(), {}, {}));
    Write("notes.txt", MapFile(SmallMap(), {}));
    std::filesystem::create_directory(PathOf("d.map"));
    const ProgramRun run = Examine({PathOf("")});

    EXPECT_EQ(run.exitStatus, 0);
    const size_t a = run.out.find("Results for Scenario File: " + PathOf("a.scn"));
    const size_t b = run.out.find("Results for Map File: " + PathOf("b.MAP"));
    const size_t c = run.out.find("Results for Scenario File: " + PathOf("c.Scn"));
    ASSERT_NE(c, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_EQ(run.out.find("notes.txt"), std::string::npos);
    EXPECT_EQ(run.out.find("d.map"), std::string::npos);
}

TEST_F(ExaminerTest, TheKindComesFromTheExtensionUnlessItIsGiven) {
    const std::string mapNamedScenario = Write("map.scn", MapFile(SmallMap(), {}));
    const std::string scenarioNamedMap = Write("scenario.map", ScenarioFile(SmallMap(), {}, {}));
    const std::string unnamed = Write("scenario", ScenarioFile(SmallMap(), {}, {}));

    const ProgramRun byExtension = Examine({mapNamedScenario});
    EXPECT_EQ(byExtension.exitStatus, 1);
    EXPECT_EQ(byExtension.out, "Error loading Scenario file\n" + mapNamedScenario + "\nFile data is bad.\n");

    const ProgramRun given = Examine({"--kind", "scenario", scenarioNamedMap, unnamed});
    EXPECT_EQ(given.exitStatus, 0);
    EXPECT_NE(given.out.find("Results for Scenario File: " + scenarioNamedMap), std::string::npos);
    EXPECT_NE(given.out.find("Results for Scenario File: " + unnamed), std::string::npos);
}

TEST_F(ExaminerTest, UsageErrorsExamineNothingAndSayWhatIsWrong) {
    const std::string good = Write("good.map", MapFile(SmallMap(), {}));
    const std::string unnamed = Write("plain", MapFile(SmallMap(), {}));
    struct Case {
        std::vector<std::string> arguments;
        std::string complaint;
    };
    const std::vector<Case> cases{
        {{good, unnamed}, "'" + unnamed + "': cannot tell a map from a scenario"},
        {{good, PathOf("nowhere")}, "'" + PathOf("nowhere") + "': no such file or folder"},
        {{"--kind", "map", PathOf("nowhere")}, "no such file or folder"},
        {{"/dev/null", "--kind", "map"}, "'/dev/null': neither a file nor a folder"},
        {{"--format", "xml", good}, "'xml' is not a value of '--format'"},
        {{"--kind"}, "option '--kind' needs a value"},
        {{"--verbose", good}, "unknown option '--verbose'"},
        {{}, "no PATH to examine"},
    };
    for (const Case& usage : cases) {
        const ProgramRun run = Examine(usage.arguments);
        EXPECT_EQ(run.exitStatus, 2) << usage.complaint;
        EXPECT_EQ(run.out, "") << usage.complaint;
        EXPECT_NE(run.err.find(usage.complaint), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
}

TEST_F(ExaminerTest, HelpExplainsTheCommandLine) {
    const ProgramRun run = Examine({"--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out.rfind("Usage: telvorn-examine [--kind map|scenario] [--format text|json|csv] PATH...\n", 0), 0u);
    EXPECT_EQ(run.err, "");
}

TEST_F(ExaminerTest, DashesEndTheOptions) {
    const std::string dashed = Write("-x.map", MapFile(SmallMap(), {}));
    const ProgramRun run = Examine({"--format=text", "--", "-x.map"});
    // A relative path names a file in the examiner's working folder, not in ours.
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "Error loading Map file\n-x.map\nUnable to find file.\n");
    EXPECT_EQ(Examine({"--", dashed}).exitStatus, 0);
}

TEST_F(ExaminerTest, AFolderWithoutGameFilesFailsWithoutStoppingTheOthers) {
    const std::string good = Write("good.map", MapFile(SmallMap(), {}));
    const std::string empty = PathOf("empty");
    std::filesystem::create_directory(empty);
    Write("empty/readme.txt", MapFile(SmallMap(), {}));
    const ProgramRun run = Examine({empty, good});

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("'" + empty + "': holds no *.map or *.scn files"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Results for Map File: " + good), std::string::npos);
}

TEST_F(ExaminerTest, AnUnreadableFolderFailsWithoutStoppingTheOthers) {
    if (geteuid() == 0) GTEST_SKIP() << "every folder is readable for root";
    const std::string good = Write("good.map", MapFile(SmallMap(), {}));
    const std::string locked = PathOf("locked");
    std::filesystem::create_directory(locked);
    chmod(locked.c_str(), 0);
    const ProgramRun run = Examine({locked, good});
    chmod(locked.c_str(), 0700);

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("'" + locked + "': cannot read the folder"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Results for Map File: " + good), std::string::npos);
}

TEST_F(ExaminerTest, TheSamplesAreSoundGameFilesWithSeveralMasses) {
    const ProgramRun made = Run(TELVORN_MAKE_SAMPLES, {PathOf("samples")});
    ASSERT_EQ(made.exitStatus, 0) << made.err;

    const ProgramRun run = Examine({PathOf("samples")});
    EXPECT_EQ(run.exitStatus, 0) << run.out;
    std::istringstream lines(run.out);
    int files = 0, scenarios = 0;
    for (std::string line; std::getline(lines, line);) {
        files += line.rfind("Results for ", 0) == 0;
        scenarios += line.rfind("Results for Scenario File: ", 0) == 0;
        if (line.rfind("Number of ", 0) == 0 && line.find("Masses:") != std::string::npos) {
            EXPECT_GE(std::stoi(line.substr(line.find(':') + 1)), 2) << line;
        }
        if (line.rfind("Avg City Prod Eff :", 0) == 0) {
            EXPECT_EQ(line.find('-'), std::string::npos) << line;
        }
    }
    EXPECT_GE(files, 2);
    EXPECT_GE(scenarios, 1);
}

}  // namespace
