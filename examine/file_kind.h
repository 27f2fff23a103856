#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/examine_results.h"
#include "gamefile/load_status.h"

// How a file tells its kind when it comes without one: by its name's
// extension or by its own type tag.

// The kind whose extension (.map or .scn) the path (UTF-8 text) ends with,
// in any letter case; nothing for any other name.
std::optional<FileKind> KindFromExtension(std::string_view path);

// Sets kind to the kind whose type tag ("CMAP" or "CSCN") the file at path
// (UTF-8 text) begins with. Returns 0; LoadCannotOpen when the file cannot be
// opened for reading; LoadUnknownKind when its first four bytes name no kind
// (or it has fewer), leaving kind as it was.
LoadStatus KindFromTypeTag(const std::string& path, FileKind& kind);
