#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The program's paths are UTF-8 text; these two turn them into the file
// system's paths and back. On Windows a path is UTF-16, which the wide calls
// open whatever the system's code page; elsewhere a path is its bytes, which
// pass unchanged, UTF-8 or not.

// The file system's path of the text. On Windows a text that is no UTF-8
// names no file: the path is then empty, which nothing opens. Both throw
// std::bad_alloc when memory cannot be had.
std::filesystem::path Utf8Path(std::string_view text);

// The text of a path of the file system, such as a name found in a folder.
// On Windows a name with a lone surrogate, which no UTF-8 can carry, comes
// back with U+FFFD for each unit that is not ASCII, and so names no file.
std::string Utf8Text(const std::filesystem::path& path);
