#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/examine_results.h"
#include "analysis/map_statistics.h"
#include "gamefile/load_status.h"

// Examines the game file at path (UTF-8 text) as a file of kind: opens it, fills
// examineResults and closes it again. Returns 0, or the first failure
// (-2, -4, -10 to -15). The file is closed whatever happened; on failure the
// record keeps what was written before the failure. This is where a lack of
// memory anywhere in the examination becomes -10: no exception leaves it.
LoadStatus ExaminePath(FileKind kind, const std::string& path);

// The map as an examination read and labelled it, for a caller that shows
// it square by square.
struct ExaminedMap {
    MapHeader header;
    std::vector<uint8_t> squares;  // the terrain codes of the whole grid, as mapSquares held them
    std::vector<uint8_t> labels;   // as massLabels() left them
};

// ExaminePath that also hands out the examined map: filled when the status
// is 0, left as it was otherwise.
LoadStatus ExaminePath(FileKind kind, const std::string& path, ExaminedMap& map);

// The last line of the error text for a (negative) status: why the file
// could not be examined.
std::string_view LoadStatusReason(LoadStatus status);

// The three-line text that tells the user why a file of the named kind at
// path could not be examined with the given (negative) status.
std::string LoadStatusMessage(std::string_view kindName, std::string_view path, LoadStatus status);
