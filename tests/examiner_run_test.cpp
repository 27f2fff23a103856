// The examiner run as a user runs it: which files it examines, as what kind, what the text report shows
// and which exit status it ends with.

#include "examiner_run.h"

namespace {

using filemaker::MapFile;
using filemaker::ScenarioFile;

filemaker::MapLayout SmallMap() { return filemaker::MapFromText({"LLLL", "LWWL", "LLLL"}); }

TEST_F(ExaminerTest, TextShowsTheResultsDialogsFiguresOfAMapAndOfAScenario) {
    // 40 by 40, water on every even column of every odd row: more separate masses than the labels can hold.
    std::vector<std::string> rows(40, std::string(40, 'L'));
    for (size_t row = 1; row < 40; row += 2)
        for (size_t column = 0; column < 40; column += 2) rows[row][column] = 'W';
    filemaker::MapLayout map = filemaker::MapFromText(std::vector<std::string_view>(rows.begin(), rows.end()));
    map.wrapFlag = 0x80;
    filemaker::UnitTable units{};
    units[0][0] = 3;    // cities
    units[0][9] = 12;   // IN
    units[5][13] = -7;  // AB, shown with its sign
    units[2][1] = 99;   // not shown
    const std::vector<filemaker::City> cities{{50, 9}, {50, 9}, {51, 12}, {90, 14}};
    const ProgramRun run = Examine(
        {files.Write("lakes.map", MapFile(map, {})), files.Write("war.scn", ScenarioFile(SmallMap(), cities, units))});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find("Results for Map File: " + files.PathOf("lakes.map")), 0u);
    EXPECT_EQ(Field(run.out, "Number of Columns :"), "40");
    EXPECT_EQ(Field(run.out, "Number of Rows :"), "40");
    EXPECT_EQ(Field(run.out, "Total Squares :"), "1600");
    EXPECT_EQ(Field(run.out, "Map Wrap :"), "YES");
    EXPECT_EQ(Field(run.out, "Avg City Prod Eff :"), "-");
    EXPECT_EQ(Field(run.out, "Number of Water Masses:"), ">255");
    EXPECT_EQ(Field(run.out, "Number of Land Masses:"), "1");
    EXPECT_EQ(Field(run.out, "Terrain"), "Number % of Map");
    EXPECT_EQ(Field(run.out, "Water"), "400 25");
    EXPECT_EQ(Field(run.out, "Clear"), "1200 75");
    const size_t scenarioStart = run.out.find("\nResults for Scenario File: " + files.PathOf("war.scn"));
    EXPECT_GT(run.out.find("Unit Counts"), scenarioStart);  // none for the map
    const std::string scenario = run.out.substr(scenarioStart);
    EXPECT_EQ(Field(scenario, "Map Wrap :"), "NO");
    EXPECT_EQ(Field(scenario, "Avg City Prod Eff :"), "60");  // 241 / 4
    EXPECT_EQ(Field(scenario, "IN"), "2 TR 0");
    EXPECT_EQ(Field(scenario, "B"), "1 CR 0");
    EXPECT_EQ(Field(scenario, "Player"), "#1 #2 #3 #4 #5 #6");
    EXPECT_EQ(Field(scenario, "City", "Unit Counts"), "3 0 0 0 0 0");
    EXPECT_EQ(Field(scenario, "IN", "Unit Counts"), "12 0 0 0 0 0");
    EXPECT_EQ(Field(scenario, "AB", "Unit Counts"), "0 0 0 0 0 -7");
    EXPECT_EQ(scenario.substr(scenario.find("Unit Counts")).find("99"), std::string::npos);
}

TEST_F(ExaminerTest, FailingFilesAndFoldersAreReportedAndTheOthersStillExamined) {
    filemaker::GameFile newer = MapFile(SmallMap(), {});
    newer.version = 2;
    const std::string first = files.Write("a.map", MapFile(SmallMap(), {}));
    const std::string failing = files.Write("b.map", newer);
    const std::string missing = files.PathOf("gone.MAP");  // a missing game file is examined and not found
    const std::string empty = files.PathOf("empty");
    std::filesystem::create_directory(empty);
    files.Write("empty/readme.txt", MapFile(SmallMap(), {}));
    const std::string last = files.Write("c.map", MapFile(SmallMap(), {}));
    const ProgramRun run = Examine({first, failing, missing, empty, last});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "telvorn-examine: '" + empty + "': holds no *.map or *.scn files\n");
    const size_t newerMessage = run.out.find("Error loading Map file\n" + failing +
                                             "\nFile is from newer version of Corvanta. An update may be available.\n");
    const size_t missingMessage = run.out.find("Error loading Map file\n" + missing + "\nUnable to find file.\n");
    ASSERT_NE(missingMessage, std::string::npos);
    EXPECT_LT(run.out.find("Results for Map File: " + first), newerMessage);
    EXPECT_LT(newerMessage, missingMessage);
    EXPECT_GT(run.out.find("Results for Map File: " + last), missingMessage);
}

TEST_F(ExaminerTest, AFolderStandsForItsGameFilesInNameOrderOfTheKindTheirExtensionsName) {
    files.Write("b.MAP", MapFile(SmallMap(), {}));
    files.Write("a.scn", ScenarioFile(SmallMap(), {}, {}));
    files.Write("c.Scn", ScenarioFile(SmallMap(), {}, {}));
    const std::string mapNamedScenario = files.Write("d.scn", MapFile(SmallMap(), {}));
    files.Write("notes.txt", MapFile(SmallMap(), {}));
    std::filesystem::create_directory(files.PathOf("e.map"));
    const ProgramRun run = Examine({files.PathOf("")});
    EXPECT_EQ(run.exitStatus, 1);
    const size_t a = run.out.find("Results for Scenario File: " + files.PathOf("a.scn"));
    const size_t b = run.out.find("Results for Map File: " + files.PathOf("b.MAP"));
    const size_t c = run.out.find("Results for Scenario File: " + files.PathOf("c.Scn"));
    const size_t d = run.out.find("Error loading Scenario file\n" + mapNamedScenario + "\nFile data is bad.\n");
    ASSERT_NE(d, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_LT(c, d);
    EXPECT_EQ(run.out.find("notes.txt"), std::string::npos);
    EXPECT_EQ(run.out.find("e.map"), std::string::npos);
    const std::string scenarioNamedMap = files.Write("scenario.map", ScenarioFile(SmallMap(), {}, {}));
    const std::string unnamed = files.Write("scenario", ScenarioFile(SmallMap(), {}, {}));
    const ProgramRun given = Examine({"--kind", "scenario", scenarioNamedMap, unnamed});
    EXPECT_EQ(given.exitStatus, 0);
    EXPECT_NE(given.out.find("Results for Scenario File: " + scenarioNamedMap), std::string::npos);
    EXPECT_NE(given.out.find("Results for Scenario File: " + unnamed), std::string::npos);
}

TEST_F(ExaminerTest, UsageErrorsExamineNothingAndSayWhatIsWrong) {
    const std::string good = files.Write("good.map", MapFile(SmallMap(), {}));
    const std::string unnamed = files.Write("plain", MapFile(SmallMap(), {}));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{good, unnamed}, "'" + unnamed + "': cannot tell a map from a scenario"},
        {{good, files.PathOf("nowhere")}, "'" + files.PathOf("nowhere") + "': no such file or folder"},
        {{"--kind", "map", files.PathOf("nowhere")}, "no such file or folder"},
        {{"/dev/null", "--kind", "map"}, "'/dev/null': neither a file nor a folder"},
        {{"--format", "xml", good}, "'xml' is not a value of '--format'"},
        {{"--kind"}, "option '--kind' needs a value"},
        {{"--verbose", good}, "unknown option '--verbose'"},
        {{}, "no PATH to examine"},
    };
    for (const auto& [arguments, complaint] : cases) {
        const ProgramRun run = Examine(arguments);
        EXPECT_EQ(run.exitStatus, 2) << complaint;
        EXPECT_EQ(run.out, "") << complaint;
        EXPECT_NE(run.err.find(complaint), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
    const ProgramRun help = Examine({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: telvorn-examine [OPTION]... PATH...\n", 0), 0u);
    EXPECT_EQ(Examine({"--version"}).out, "telvorn-examine " TELVORN_VERSION "\n");
    // "--" ends the options: a relative path names a file in the examiner's working folder.
    EXPECT_EQ(Examine({"--format=text", "--", "-x.map"}).out, "Error loading Map file\n-x.map\nUnable to find file.\n");
}

TEST_F(ExaminerTest, TheSamplesAreSoundGameFilesWithSeveralMasses) {
    ASSERT_EQ(Run(TELVORN_MAKE_SAMPLES, {files.PathOf("samples")}).exitStatus, 0);
    const ProgramRun run = Examine({files.PathOf("samples")});
    EXPECT_EQ(run.exitStatus, 0) << run.out;
    int examined = 0, scenarios = 0;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        examined += line.rfind("Results for ", 0) == 0;
        scenarios += line.rfind("Results for Scenario File: ", 0) == 0;
        EXPECT_FALSE(line.find(" Masses:") != std::string::npos && std::stoi(line.substr(line.find(':') + 1)) < 2);
        EXPECT_FALSE(line.rfind("Avg City Prod Eff :", 0) == 0 && line.find('-') != std::string::npos) << line;
    }
    EXPECT_GE(examined, 2);
    EXPECT_GE(scenarios, 1);
}

}  // namespace
