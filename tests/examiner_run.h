#pragma once

// Runs the built command-line examiner as a user runs it, on game files in a temporary folder of the test's own.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"

struct ProgramRun {
    int exitStatus = -1;  // as the shell tells it: above 128 when a signal ended the program
    std::string out;
    std::string err;
};

class ExaminerTest : public testing::Test {
protected:
    // The command run by the shell with each word quoted, whatever bytes it holds; its output goes to
    // stdoutTo when given (and is then not read back).
    ProgramRun Run(const std::vector<std::string>& command, const std::string& stdoutTo = "") const {
        const auto quoted = [](const std::string& word) {
            std::string text = "'";
            for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
            return text + "'";
        };
        std::string line;
        for (const std::string& word : command) line += quoted(word) + " ";
        const std::string out = stdoutTo.empty() ? output.PathOf("out") : stdoutTo;
        const int status = std::system((line + ">" + quoted(out) + " 2>" + quoted(output.PathOf("err"))).c_str());
        const auto text = [this](const char* name) {
            std::ifstream in(output.PathOf(name), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, stdoutTo.empty() ? text("out") : "", text("err")};
    }
    ProgramRun Examine(std::vector<std::string> arguments, const std::string& stdoutTo = "") const {
        arguments.insert(arguments.begin(), TELVORN_EXAMINE);
        return Run(arguments, stdoutTo);
    }

    // What is wrong with a json report and the header of a csv report, both of the examiner, by the
    // report's schema as installed (which carries the examiner's version), checked with Debian's
    // python3-jsonschema: empty when nothing is.
    std::string SchemaProblems(const std::string& json, const std::string& csv) const {
        constexpr const char* Check = R"(
import csv, io, json, sys, jsonschema
schema = json.load(open(sys.argv[1], encoding='utf-8'))
assert schema['title'] == 'The report of telvorn-examine ' + sys.argv[4], f"the title {schema['title']} lacks the version"
jsonschema.validate(json.loads(sys.argv[2]), schema, cls=jsonschema.Draft202012Validator)
# The csv columns: the entry's keys in order, objects spread as key.member.
def columns(name, part):
    part = {**schema['$defs'][part['$ref'].split('/')[-1]], **part} if '$ref' in part else part
    members = part.get('properties', {})
    return [column for key, sub in members.items() for column in columns(f'{name}.{key}', sub)] if members else [name]
expected = [column for key, sub in schema['$defs']['entry']['properties'].items() for column in columns(key, sub)]
header = next(csv.reader(io.StringIO(sys.argv[3], newline='')))
assert header == expected, f'csv header {header} is not {expected}'
)";
        const ProgramRun check = Run({TELVORN_PYTHON, "-c", Check, TELVORN_REPORT_SCHEMA, json, csv, TELVORN_VERSION});
        return check.exitStatus == 0 ? "" : check.err + check.out;
    }

    testfiles::TempFolder files;   // the game files that a test examines
    testfiles::TempFolder output;  // what the examiner printed
};

// Expects run refused as a usage error: status 2, nothing examined, each of texts in its errors.
inline void ExpectRefused(const ProgramRun& run, std::initializer_list<std::string> texts) {
    EXPECT_EQ(std::pair(run.exitStatus, run.out), std::pair(2, std::string())) << run.err;
    for (const std::string& text : texts) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
}

// Expects text to hold each of parts, each after the one before it.
inline void ExpectInOrder(const std::string& text, std::initializer_list<std::string> parts) {
    size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << "\nmissing, or not after the part before it, in\n" << text;
        at += part.size();
    }
}

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

// The fields of csv text, read as RFC 4180 reads them.
inline std::vector<std::vector<std::string>> CsvLines(std::string_view text) {
    std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') lines.back().back() += text[i++];
        else if (c == '"') quoted = !quoted;
        else if (!quoted && c == ',') lines.back().emplace_back();
        else if (!quoted && c == '\n') lines.emplace_back(1);
        else lines.back().back() += c;
    }
    if (lines.back() == std::vector<std::string>(1)) lines.pop_back();
    return lines;
}
