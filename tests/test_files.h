#pragma once

// A temporary folder for the game files that a test writes, removed with everything in it when the test ends.

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filemaker/game_file_writer.h"
#include "gamefile/utf8_path.h"

namespace testfiles {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        do {
            path_ = std::filesystem::temp_directory_path() / ("telvorn-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Names and paths are UTF-8 text, as the programs take them.
    std::string PathOf(const std::string& name) const { return Utf8Text(path_ / Utf8Path(name)); }
    // Writes the file under name, in the folders that name gives, and returns its full path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::filesystem::create_directories(Utf8Path(PathOf(name)).parent_path());
        EXPECT_TRUE(filemaker::WriteBytes(PathOf(name), bytes)) << name;
        return PathOf(name);
    }
    std::string Write(const std::string& name, const filemaker::GameFile& file) const {
        return Write(name, filemaker::Build(file));
    }

private:
    std::filesystem::path path_;
};

// A map of rows by columns all Clear land.
inline filemaker::MapLayout Land(int rows, int columns) {
    return {static_cast<uint8_t>(rows), static_cast<uint8_t>(columns),
            std::vector<uint8_t>(static_cast<size_t>(rows * columns), filemaker::ClearCode), {}, 0, 0, {}};
}

inline filemaker::MapLayout Banded(filemaker::MapLayout map, uint8_t firstColumn, uint8_t lastColumn) {
    map.firstColumn = firstColumn;
    map.lastColumn = lastColumn;
    return map;
}

// A sound map of 4 by 5 squares: 5 water in 2 masses, 15 Clear in 2 masses that meet only across the seam.
inline filemaker::MapLayout SmallMap() { return filemaker::MapFromText({"LLLLL", "WWLLW", "LWLWL", "LLLLL"}); }

// Whether this process still holds the file at path open.
inline bool HeldOpen(const std::string& path) {
#ifdef _WIN32
    // Windows refuses an opening that shares nothing while any other is open.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
#else
    const std::filesystem::path target = std::filesystem::absolute(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the iterator's own descriptor closes as it ends
        if (std::filesystem::read_symlink(entry.path(), gone) == target) return true;
    }
    return false;
#endif
}

}  // namespace testfiles
