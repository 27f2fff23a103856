// The examination when memory cannot be had. This executable replaces the
// global operator new and delete (all forwarding to malloc and free) so that a
// test can make a chosen allocation fail with std::bad_alloc.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "examine/examine_path.h"
#include "examine/examine_results.h"
#include "gamefile/chunk_file.h"
#include "test_files.h"

namespace {

// What is armed: fail the countdown-th allocation from now, or the
// occurrence-th allocation of exactly failSize bytes. Nothing fails when both
// are 0.
long countdown = 0;
size_t failSize = 0;
int occurrence = 0;
long liveAllocations = 0;
size_t largestRequest = 0;

bool ShouldFail(size_t size) {
    if (size > largestRequest) largestRequest = size;
    if (countdown > 0 && --countdown == 0) return true;
    if (failSize != 0 && size == failSize && --occurrence == 0) {
        failSize = 0;
        return true;
    }
    return false;
}

void* Allocate(size_t size) {
    if (ShouldFail(size)) throw std::bad_alloc();
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    ++liveAllocations;
    return block;
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    --liveAllocations;
    std::free(block);
}

void FailAllocationNumber(long n) { countdown = n; }
void FailAllocationOfSize(size_t size, int nth = 1) {
    failSize = size;
    occurrence = nth;
}
void Disarm() {
    countdown = 0;
    failSize = 0;
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try { return Allocate(size); } catch (const std::bad_alloc&) { return nullptr; }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

using filemaker::City;
using filemaker::GameFile;
using filemaker::MapSpec;
using testfiles::TempFolder;

namespace {

MapSpec ThirtySevenByFortyOne() {
    MapSpec map;
    map.rows = 37;
    map.columns = 41;  // 1517 squares: no other block of the examination has this size
    map.squares.assign(37 * 41, filemaker::ClearCode);
    for (int c = 0; c < 41; c += 2) map.squares[41 + c] = filemaker::WaterCode;
    return map;
}

struct Opened {
    LoadStatus status;
    bool returned;
};

Opened OpenArmed(const std::string& path) {
    LoadStatus status = 99;
    std::unique_ptr<ChunkFile> file = OpenChunkFile(path, "CMAP", 1, 1, status);
    Disarm();
    return {status, file != nullptr};
}

}  // namespace

TEST(MemoryFailure, OpenWithoutMemoryForAnyOfItsBlocksFailsAndHoldsNothing) {
    TempFolder folder;
    const std::string path = folder.Write("sound.map", filemaker::MapFile(ThirtySevenByFortyOne(), {}));
    OpenArmed(path);  // settles whatever the library allocates once

    int failures = 0;
    for (long n = 1; n < 100; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        const long liveBefore = liveAllocations;
        const int filesBefore = testfiles::OpenFileCount();
        FailAllocationNumber(n);
        const Opened opened = OpenArmed(path);
        if (opened.status == LoadSucceeded) break;
        ++failures;
        EXPECT_EQ(opened.status, LoadNoMemory);
        EXPECT_FALSE(opened.returned);
        EXPECT_EQ(liveAllocations, liveBefore);
        EXPECT_EQ(testfiles::OpenFileCount(), filesBefore);
    }
    EXPECT_GE(failures, 2);  // at least the record and the directory
}

TEST(MemoryFailure, DirectoryWithoutMemoryIsShortOfMemoryButALyingOneIsBadData) {
    GameFile file = filemaker::MapFile(ThirtySevenByFortyOne(), {});
    file.chunks.push_back({"PADS", 0, std::vector<uint8_t>(100000, 0), {}, {}, {}});
    file.directorySize = 100000;
    TempFolder folder;
    const std::string path = folder.Write("large.map", file);
    const long liveBefore = liveAllocations;
    FailAllocationOfSize(100000);
    EXPECT_EQ(OpenArmed(path).status, LoadNoMemory);
    EXPECT_EQ(liveAllocations, liveBefore);
    EXPECT_EQ(OpenArmed(path).status, LoadSucceeded);

    // Larger than the file: refused without asking for the memory.
    for (uint32_t directorySize : {1000000u, 0x7FFFFFF0u, 0xFFFFFFFFu}) {
        file.directorySize = directorySize;
        const std::string lying = folder.Write("lying.map", file);
        largestRequest = 0;
        FailAllocationOfSize(directorySize);
        EXPECT_EQ(OpenArmed(lying).status, LoadBadHeaders) << directorySize;
        EXPECT_LT(largestRequest, size_t{100000}) << directorySize;
    }
}

TEST(MemoryFailure, CityRecordsWithoutMemoryFailTheExamination) {
    const std::vector<City> cities(5000, City{10, 3});  // 80000 bytes of records
    TempFolder folder;
    const std::string path = folder.Write("cities.map", filemaker::MapFile(ThirtySevenByFortyOne(), cities));
    FailAllocationOfSize(80000);
    const LoadStatus status = ExaminePath(FileKind::Map, path);
    Disarm();
    EXPECT_EQ(status, LoadNoCityMemory);
    EXPECT_EQ(examineResults.cityCount, 5000);
    EXPECT_EQ(examineResults.productionEfficiencySum, 0);
    EXPECT_EQ(ExaminePath(FileKind::Map, path), LoadSucceeded);
    EXPECT_EQ(examineResults.productionEfficiencySum, 50000);
}

TEST(MemoryFailure, LabellingWithoutMemoryFailsTheExaminationInsteadOfShowingOldCounts) {
    TempFolder folder;
    const std::string earlier = folder.Write("earlier.map", filemaker::MapFile(
        filemaker::MapFromText({"LLLLL", "WLWLL", "LLLLL", "LLLLL"}), {}));
    const std::string path = folder.Write("masses.map", filemaker::MapFile(ThirtySevenByFortyOne(), {}));
    struct Case {
        const char* block;
        size_t size;
        int nth;
    };
    const Case cases[] = {{"labels", 37 * 41, 1}, {"water counters", 512, 1}, {"land counters", 512, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        ASSERT_EQ(ExaminePath(FileKind::Map, earlier), LoadSucceeded);
        ASSERT_EQ(examineResults.waterMassCount, 2);
        FailAllocationOfSize(c.size, c.nth);
        const LoadStatus status = ExaminePath(FileKind::Map, path);
        Disarm();
        EXPECT_EQ(status, LoadNoMemory);
        EXPECT_EQ(examineResults.rows, 37);  // the file was open and its map read
        EXPECT_EQ(examineResults.waterMassCount, 2);
    }
    ASSERT_EQ(ExaminePath(FileKind::Map, path), LoadSucceeded);
    EXPECT_EQ(examineResults.waterMassCount, 21);
}

TEST(MemoryFailure, EveryAllocationOfAScenarioExaminationMayFailWithoutHarm) {
    const MapSpec map = ThirtySevenByFortyOne();
    TempFolder folder;
    const std::string path = folder.Write("war.scn", filemaker::ScenarioFile(map, {{10, 3}, {20, 4}}, {}));
    ASSERT_EQ(ExaminePath(FileKind::Scenario, path), LoadSucceeded);
    const int filesBefore = testfiles::OpenFileCount();
    int failures = 0;
    for (long n = 1; n < 200; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        FailAllocationNumber(n);
        const LoadStatus status = ExaminePath(FileKind::Scenario, path);
        Disarm();
        if (status == LoadSucceeded) break;
        ++failures;
        EXPECT_TRUE(status == LoadNoMemory || status == LoadNoCityMemory) << status;
        EXPECT_EQ(testfiles::OpenFileCount(), filesBefore);
    }
    EXPECT_GE(failures, 5);  // record, directory, labels, two counter tables, records
    EXPECT_EQ(ExaminePath(FileKind::Scenario, path), LoadSucceeded);
}
