#pragma once

#include <string>
#include <string_view>

#include "examine/examine_results.h"
#include "gamefile/load_status.h"

// Examines the game file at path as a file of kind: opens it, fills
// examineResults and closes it again. Returns 0, or the first failure
// (-2, -4, -10 to -15). The file is closed whatever happened; on failure the
// record keeps what was written before the failure.
LoadStatus ExaminePath(FileKind kind, const std::string& path);

// The three-line text that tells the user why a file of the named kind at
// path could not be examined with the given (negative) status.
std::string LoadStatusMessage(std::string_view kindName, std::string_view path, LoadStatus status);
