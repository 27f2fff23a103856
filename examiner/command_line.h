#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/examine_results.h"
#include "examiner/report.h"

// What the command line asks for.
struct ExaminerOptions {
    bool showHelp = false;
    bool showVersion = false;
    bool recursive = false;  // folders stand for their subfolders' files too
    std::optional<FileKind> kind;  // nothing: each file's extension tells
    ReportFormat format = ReportFormat::Text;
    std::optional<std::string> pictureFolder;  // nothing: no pictures
    std::vector<std::string> paths;
};

// The options, or the text of the usage error that the command line makes.
struct CommandLine {
    ExaminerOptions options;
    std::optional<std::string> usageError;
};

// Reads the arguments after the program's name. "--" ends the options, so
// that a path may begin with a dash.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text that --help shows, before the pictures' legend.
extern const std::string_view UsageText;

// The line that --version shows.
extern const std::string_view VersionText;
