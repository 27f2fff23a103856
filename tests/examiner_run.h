#pragma once

// Runs the built command-line examiner as a user runs it, on game files in a temporary folder of the test's own.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "test_files.h"

struct ProgramRun {
    int exitStatus = -1;  // as the shell tells it: above 128 when a signal ended the program
    std::string out;
    std::string err;
};

class ExaminerTest : public testing::Test {
protected:
    // The program run by the shell with each argument quoted, whatever bytes it holds.
    ProgramRun Run(const std::string& program, const std::vector<std::string>& arguments) const {
        const auto quoted = [](const std::string& word) {
            std::string text = "'";
            for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
            return text + "'";
        };
        std::string command = quoted(program);
        for (const std::string& argument : arguments) command += " " + quoted(argument);
        const int status = std::system((command + " >" + quoted(output.PathOf("out")) + " 2>" +
                                        quoted(output.PathOf("err"))).c_str());
        const auto text = [this](const char* name) {
            std::ifstream in(output.PathOf(name), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text("out"), text("err")};
    }
    ProgramRun Examine(const std::vector<std::string>& arguments) const { return Run(TELVORN_EXAMINE, arguments); }

    testfiles::TempFolder files;   // the game files that a test examines
    testfiles::TempFolder output;  // what the examiner printed
};

// The words after prefix, one space apart, on the first line (below the heading, when given) that starts with it.
inline std::string Field(const std::string& out, const std::string& prefix, const std::string& heading = "") {
    std::istringstream lines(out.substr(std::min(out.find(heading), out.size())));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string words;
        for (std::string word; in >> word;) words += (words.empty() ? "" : " ") + word;
        if (words.rfind(prefix + " ", 0) == 0) return words.substr(prefix.size() + 1);
    }
    return "(none)";
}
