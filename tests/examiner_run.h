#pragma once

// Runs the built command-line examiner as a user runs it, on game files
// written into a temporary folder of the test's own.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filemaker/game_file_writer.h"

extern char** environ;

struct ProgramRun {
    int exitStatus = -1;  // -1 when the program did not end by itself
    std::string out;
    std::string err;
};

class ExaminerTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "telvorn-examiner-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::filesystem::create_directory(folder / "files");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The path of a file or folder in the test's folder of game files.
    std::string PathOf(const std::string& name) const { return (folder / "files" / name).string(); }

    std::string Write(const std::string& name, const filemaker::GameFile& file) const {
        const std::string path = PathOf(name);
        EXPECT_TRUE(filemaker::WriteBytes(path, filemaker::Build(file)));
        return path;
    }

    ProgramRun Run(const std::string& program, const std::vector<std::string>& arguments) const {
        const std::string outPath = (folder / "stdout").string();
        const std::string errPath = (folder / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<std::string> words{program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        ProgramRun run;
        pid_t child = 0;
        int waitStatus = 0;
        if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0 &&
            waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus))
            run.exitStatus = WEXITSTATUS(waitStatus);
        posix_spawn_file_actions_destroy(&actions);
        run.out = ReadText(outPath);
        run.err = ReadText(errPath);
        return run;
    }

    ProgramRun Examine(const std::vector<std::string>& arguments) const { return Run(TELVORN_EXAMINE, arguments); }

    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder;
};

// The text after a label on the first line that starts with it, without the
// spaces that align it; "(none)" when no line starts with the label.
inline std::string ValueAfter(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(label, 0) != 0) continue;
        const size_t value = line.find_first_not_of(' ', label.size());
        return value == std::string::npos ? "" : line.substr(value);
    }
    return "(none)";
}

// The words of the first line that starts with the given word, below the
// first line that starts with the heading when one is given.
inline std::vector<std::string> RowOf(const std::string& output, const std::string& firstWord,
                                      const std::string& heading = "") {
    std::istringstream lines(output);
    for (std::string line; !heading.empty() && std::getline(lines, line);)
        if (line.rfind(heading, 0) == 0) break;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> row{std::istream_iterator<std::string>(words), {}};
        if (!row.empty() && row.front() == firstWord) return row;
    }
    return {};
}
