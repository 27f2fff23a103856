#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "examine/examine_results.h"
#include "examine/examine_path.h"
#include "gamefile/load_status.h"

// "map" or "scenario": how a kind is named on the command line and in the reports.
std::string_view KindName(FileKind kind);

// The kind named by "map" or "scenario"; nothing for any other word.
std::optional<FileKind> KindFromName(std::string_view name);

// The kind whose extension the path ends with, in any letter case.
std::optional<FileKind> KindFromExtension(const std::string& path);

// A path or name as the examiner's messages quote it: 'world.map'.
std::string Quoted(std::string_view text);

// One file to examine: the path as given or as found in a folder, and the
// kind to examine it as.
struct FileToExamine {
    std::string path;
    FileKind kind;
};

// What the command line's paths stand for. A path whose kind cannot be told,
// that does not exist (and does not name a game file) or that is neither a
// file nor a folder is a usage error; a folder that cannot be listed is a
// failure of its own, which does not keep the other paths from examination.
struct FileList {
    std::vector<FileToExamine> files;
    std::vector<std::string> usageErrors;
    std::vector<std::string> folderErrors;
};

// Expands the paths in their order: a file stands for itself, a folder for
// its *.map and *.scn files (any letter case) in name order. Every file is
// examined as kind when it is given, otherwise as its extension says.
FileList ListFilesToExamine(const std::vector<std::string>& paths, std::optional<FileKind> kind);

// The outcome of one file's examination: its status and, when that is 0,
// the figures that the examination left in examineResults and, when asked
// for, the map that it read and labelled.
struct Examination {
    std::string path;
    FileKind kind;
    LoadStatus status;
    ExamineResults results;
    ExaminedMap map;
};

// Examines one file through the windowless core; withMap also keeps its map.
Examination Examine(const FileToExamine& file, bool withMap);
