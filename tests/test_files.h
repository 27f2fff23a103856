#pragma once

// A temporary folder for the game files that a test writes, removed with
// everything in it when the test ends.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "filemaker/game_file_writer.h"

namespace testfiles {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> made{0};
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "telvorn-test-" + std::to_string(::getpid()) + "-" +
                           std::to_string(made++);
        if (test != nullptr) name += std::string("-") + test->name();
        for (char& letter : name)
            if (letter == '/') letter = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes bytes under name and returns the file's full path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string file = (path_ / name).string();
        EXPECT_TRUE(filemaker::WriteBytes(file, bytes)) << file;
        return file;
    }
    std::string Write(const std::string& name, const filemaker::GameFile& gameFile) const {
        return Write(name, filemaker::Build(gameFile));
    }

private:
    std::filesystem::path path_;
};

// The bytes of a file cut after its first length bytes.
inline std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t length) {
    bytes.resize(length);
    return bytes;
}

// The number of files this process holds open.
inline int OpenFileCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

}  // namespace testfiles
