// The examiner run as a user runs it: which files it examines, as what kind, what it says of those it cannot
// examine and which exit status it ends with.

#include <sys/stat.h>
#include <unistd.h>

#include "examiner_run.h"

namespace {

using filemaker::MapFile;
using filemaker::ScenarioFile;
using testfiles::SmallMap;

TEST_F(ExaminerTest, EachPathThatCannotBeExaminedIsAFailedEntryOfEveryFormatAndTheOthersAreStillExamined) {
    filemaker::GameFile newer = MapFile(SmallMap(), {});
    newer.version = 2;
    const std::string failing = files.Write("b.map", newer);
    const std::string scenarioAsMap = files.Write("war.map", ScenarioFile(SmallMap(), {}, {}));
    const std::string unnamed = files.Write("plain", ScenarioFile(SmallMap(), {}, {}));
    // A folder of game files whose extensions differ in case, one of the other kind, and some that are no regular
    // files; a subfolder named like a map holds a scenario. A folder of no game files fails as a whole.
    const std::string folder = files.PathOf("folder") + "/";
    for (const std::string name : {"b.MAP", "d.scn"}) files.Write("folder/" + name, MapFile(SmallMap(), {}));
    for (const std::string name : {"a.scn", "c.Scn", "e.map/inner.scn"})
        files.Write("folder/" + name, ScenarioFile(SmallMap(), {}, {}));
    ASSERT_EQ(mkfifo((folder + "fifo.map").c_str(), 0600), 0);
    std::filesystem::create_symlink("nothing", folder + "link.scn");
    files.Write("empty/readme.txt", MapFile(SmallMap(), {}));
    // A link to a folder of a game file, which no walk follows.
    files.Write("elsewhere/linked.map", MapFile(SmallMap(), {}));
    std::filesystem::create_directory_symlink(files.PathOf("elsewhere"), folder + "link");
    const std::string last = files.Write("c.map", MapFile(SmallMap(), {}));
    std::vector<std::string> arguments{"--format=text", failing, scenarioAsMap, files.PathOf("gone.MAP"),
                                       files.PathOf("nowhere"), unnamed, "/dev/null", folder,
                                       files.PathOf("empty"), last};
    const ProgramRun text = Examine(arguments);

    // The same entries in json and csv: every one valid by the schema, the csv's columns the schema's.
    arguments[0] = "--format=json";
    const ProgramRun json = Examine(arguments);
    arguments[0] = "--format=csv";
    const ProgramRun csv = Examine(arguments);
    EXPECT_EQ(std::pair(json.exitStatus, csv.exitStatus), std::pair(1, 1));
    EXPECT_EQ(std::pair(json.err, csv.err), std::pair(text.err, text.err));
    EXPECT_EQ(SchemaProblems(json.out, csv.out), "");
    EXPECT_EQ(CsvLines(csv.out).size(), 16u);

    // The folder's subfolders count only when asked for, in their places in the name order.
    const ProgramRun recursive = Examine({"-r", folder});
    ExpectInOrder(recursive.out, {folder + "d.scn", "Results for Scenario File: " + folder + "e.map/inner.scn"});
    EXPECT_EQ(recursive.out.find("Is a directory"), std::string::npos);
    EXPECT_EQ(recursive.out.find("linked.map"), std::string::npos);
    // Given a kind, the scenarios named like a map and named like nothing are examined as scenarios; the words
    // of the options count in any letter case.
    const ProgramRun given = Examine({"--kind", "Scenario", "--format", "CSV", scenarioAsMap, unnamed});
    EXPECT_EQ(std::pair(given.exitStatus, CsvLines(given.out).size()), std::pair(0, size_t{3})) << given.out;

    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_EQ(text.err, "telvorn-examine: 11 of 15 files could not be examined\n");
    const auto failure = [](const std::string& kind, const std::string& path, const std::string& rest) {
        return "Error loading " + kind + " file\n" + path + "\n" + rest + "\n";
    };
    const std::string unfound = "Unable to find file.\nreason: ", bad = "File data is bad.\nhint: ";
    ExpectInOrder(text.out, {
             failure("Map", failing, "File is from newer version of Corvanta. An update may be available.") + "\n",
             failure("Map", scenarioAsMap, bad + "this is a scenario file; examine it with --kind scenario"),
             failure("Map", files.PathOf("gone.MAP"), unfound + "No such file or directory"),
             failure("Map or Scenario", files.PathOf("nowhere"), unfound + "No such file or directory"),
             failure("Map or Scenario", unnamed,
                     unfound + "cannot tell a map from a scenario\nhint: name it *.map or *.scn, or give --kind"),
             failure("Map or Scenario", "/dev/null", unfound + "not a regular file"),
             "Results for Scenario File: " + folder + "a.scn",
             "Results for Map File: " + folder + "b.MAP",
             "Results for Scenario File: " + folder + "c.Scn",
             failure("Scenario", folder + "d.scn", bad + "this is a map file; examine it with --kind map"),
             failure("Map", folder + "e.map", unfound + "Is a directory"),
             failure("Map", folder + "fifo.map", unfound + "not a regular file"),
             failure("Scenario", folder + "link.scn", unfound + "No such file or directory"),
             failure("Map or Scenario", files.PathOf("empty"), unfound + "holds no *.map or *.scn files"),
             "Results for Map File: " + last});
}

TEST_F(ExaminerTest, AFileOrFolderThatCannotBeReadGetsTheSystemsReason) {
    // Root reads every file, so the examiner runs as nobody then.
    std::vector<std::string> command;
    if (getuid() == 0) {
        command = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "true"};
        if (Run(command).exitStatus != 0) GTEST_SKIP() << "setpriv cannot switch to the user nobody here";
        command.pop_back();
    }
    namespace fs = std::filesystem;
    fs::permissions(files.PathOf(""), fs::perms::owner_all | fs::perms::others_exec);
    const std::string locked = files.Write("locked.map", MapFile(SmallMap(), {}));
    const std::string closed = files.PathOf("closed");
    files.Write("closed/inside.map", MapFile(SmallMap(), {}));
    fs::permissions(locked, fs::perms::none);
    fs::permissions(closed, fs::perms::none);
    command.insert(command.end(), {TELVORN_EXAMINE, "--format=csv", locked, closed, closed + "/inside.map"});
    const ProgramRun run = Run(command);
    fs::permissions(closed, fs::perms::owner_all);
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    const auto lines = CsvLines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    for (size_t line = 1; line < lines.size(); ++line)
        EXPECT_EQ(lines[line][3] + " " + lines[line][5], "-11 Permission denied") << lines[line][0];
}

TEST_F(ExaminerTest, OnlyAMalformedCommandLineIsAUsageErrorAndExaminesNothing) {
    const std::string good = files.Write("good.map", MapFile(SmallMap(), {}));
    // The samples' maker takes no option for its folder either.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{TELVORN_EXAMINE, "--format", "xml", good}, "'xml' is not a value of '--format'"},
        {{TELVORN_EXAMINE, "--kind"}, "option '--kind' needs a value"},
        {{TELVORN_EXAMINE, "--verbose", good}, "unknown option '--verbose'"},
        {{TELVORN_EXAMINE, "-x", good}, "unknown option '-x'"},
        {{TELVORN_EXAMINE}, "no PATH to examine"},
        {{TELVORN_MAKE_SAMPLES, "--folder"}, "unknown option '--folder'"},
        {{TELVORN_MAKE_SAMPLES, "-x"}, "unknown option '-x'"},
        {{TELVORN_MAKE_SAMPLES, "--crafted"}, "give one FOLDER"},
        {{TELVORN_MAKE_SAMPLES, files.PathOf("a"), files.PathOf("b")}, "give one FOLDER"},
    };
    for (const auto& [command, complaint] : cases) ExpectRefused(Run(command), {complaint, "--help"});
    for (const std::string help : {"--help", "-h"}) {
        const ProgramRun run = Examine({help});
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.out.rfind("Usage: telvorn-examine [OPTION]... PATH...\n", 0), 0u);
        EXPECT_NE(run.out.find("  3  the report could not be written"), std::string::npos);
    }
    EXPECT_EQ(Examine({"--version"}).out, "telvorn-examine " TELVORN_VERSION "\n");
    // "--" ends the options: a relative path names a file in the examiner's working folder.
    const ProgramRun dashed = Examine({"--format=text", "--", "-x.map"});
    EXPECT_EQ(std::pair(dashed.out, dashed.err),
              std::pair(std::string("Error loading Map file\n-x.map\nUnable to find file.\nreason: No such file or directory\n"),
                        std::string("telvorn-examine: 1 of 1 file could not be examined\n")));
    EXPECT_EQ(Run({TELVORN_MAKE_SAMPLES, "-h"}).out.rfind("Usage: telvorn-make-samples [--crafted] [--] FOLDER\n", 0),
              0u);
}

TEST_F(ExaminerTest, AReportThatCannotBeWrittenIsNoSuccess) {
    const std::string good = files.Write("good.map", MapFile(SmallMap(), {}));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--format=json", good}, {good, files.PathOf("gone.map")}, {"--help"}, {"--version"}}) {
        const ProgramRun run = Examine(arguments, "/dev/full");
        EXPECT_EQ(run.exitStatus, 3) << arguments[0];
        EXPECT_EQ(run.err, "telvorn-examine: cannot write the report (No space left on device)\n");
    }
    const ProgramRun samples = Run({TELVORN_MAKE_SAMPLES, files.PathOf("samples")}, "/dev/full");
    EXPECT_EQ(samples.exitStatus, 3);
    EXPECT_EQ(samples.err, "telvorn-make-samples: cannot write the list of files (No space left on device)\n");
}

TEST_F(ExaminerTest, TheSamplesAreSoundGameFilesWithSeveralMasses) {
    ASSERT_EQ(Run({TELVORN_MAKE_SAMPLES, files.PathOf("samples")}).exitStatus, 0);
    const ProgramRun run = Examine({files.PathOf("samples")});
    EXPECT_EQ(run.exitStatus, 0) << run.out;
    EXPECT_NE(run.out.find("Results for Map File: "), std::string::npos);
    EXPECT_NE(run.out.find("Results for Scenario File: "), std::string::npos);
    // Of each of the three samples: two mass counts of two or more, and an average production efficiency.
    int massCounts = 0, averages = 0;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" Masses:") != std::string::npos && std::stoi(line.substr(line.find(':') + 1)) >= 2) ++massCounts;
        if (line.rfind("Avg City Prod Eff :", 0) == 0 && line.find('-') == std::string::npos) ++averages;
    }
    EXPECT_EQ(std::pair(massCounts, averages), std::pair(6, 3)) << run.out;
}

}  // namespace
