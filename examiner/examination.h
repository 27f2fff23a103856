#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/examine_results.h"
#include "examine/examine_path.h"
#include "examine/file_kind.h"
#include "gamefile/load_status.h"

// "map" or "scenario": how a kind is named on the command line and in the reports.
std::string_view KindName(FileKind kind);

// The kind named by "map" or "scenario", in any letter case; nothing for any
// other word.
std::optional<FileKind> KindFromName(std::string_view name);

// A path or name as the examiner's messages quote it: 'world.map'.
std::string Quoted(std::string_view text);

// One entry of the report: a game file to examine as its kind, or a path at
// which no game file can be opened, with why. Such a path fails with
// LoadCannotOpen ("Unable to find file.") without being opened.
struct FileToExamine {
    std::string path;
    std::optional<FileKind> kind;  // nothing: neither --kind nor the extension tells
    std::string reason;            // empty: examine it; otherwise why nothing at path can be examined
    std::string hint;              // what to do instead, where the examiner can tell; may be empty
    // Its picture's path below the picture folder: its path below the folder
    // given that holds it, or its own name when given on its own, with .png
    // added. Empty for an entry that leaves the pictures alone (a folder's own).
    std::string pictureName;
};

// Expands the paths in their order: a file stands for itself, a folder for
// its *.map and *.scn entries (any letter case) in name order and, when
// recursive, for those of its subfolders at their places in that order.
// Every file is taken as kind when it is given, otherwise as its extension
// says, and named its picture. A path that does not exist or cannot be looked
// at, whose kind cannot be told or that is neither a regular file nor a
// folder, a folder entry of a game file's name that is no regular file, a
// folder that cannot be read and a folder given here that holds no game
// files each become an entry with a reason.
std::vector<FileToExamine> ListFilesToExamine(const std::vector<std::string>& paths, std::optional<FileKind> kind,
                                              bool recursive);

// The outcome of one entry: its status and, when that is 0, the figures that
// the examination left in examineResults and, when asked for, the map that
// it read and labelled.
struct Examination {
    std::string path;
    std::optional<FileKind> kind;
    std::string pictureName;  // as the entry's FileToExamine has it
    LoadStatus status;
    std::string reason;  // the system's word for why the file could not be opened, where known
    std::string hint;    // the entry's, or for a file of the other kind: which --kind examines it
    ExamineResults results;
    ExaminedMap map;
};

// Examines one entry through the windowless core; withMap also keeps its map.
// An entry with a reason fails with LoadCannotOpen and opens nothing.
Examination Examine(const FileToExamine& file, bool withMap);

// The error text of a failed examination, as the Windows program shows it;
// an entry of no kind names both kinds.
std::string FailureMessage(const Examination& examination);
