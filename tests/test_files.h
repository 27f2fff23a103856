#pragma once

// A temporary folder for the game files that a test writes, removed with everything in it when the test ends.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filemaker/game_file_writer.h"

namespace testfiles {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "telvorn-test-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        path_ = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string PathOf(const std::string& name) const { return (path_ / name).string(); }
    // Writes the file under name and returns its full path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        EXPECT_TRUE(filemaker::WriteBytes(PathOf(name), bytes)) << name;
        return PathOf(name);
    }
    std::string Write(const std::string& name, const filemaker::GameFile& file) const {
        return Write(name, filemaker::Build(file));
    }

private:
    std::filesystem::path path_;
};

// The number of files this process holds open.
inline long OpenFileCount() {
    using Entries = std::filesystem::directory_iterator;
    return std::distance(Entries("/proc/self/fd"), Entries());
}

}  // namespace testfiles
