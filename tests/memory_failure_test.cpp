// The examination when memory cannot be had. This executable replaces the global operator new and delete (all
// forwarding to malloc and free) so that a test can make a chosen allocation fail with std::bad_alloc.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "analysis/examine_results.h"
#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "test_files.h"

namespace {

// The countdown-th allocation from now fails, and so does any larger than the files of these tests could need.
long countdown = 0;
long liveAllocations = 0;
size_t largestRequest = 0;

void* Allocate(size_t size) {
    largestRequest = std::max(largestRequest, size);
    const bool fails = (countdown > 0 && --countdown == 0) || size > 100'000'000;
    void* block = fails ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    ++liveAllocations;
    return block;
}

void Release(void* block) noexcept {
    if (block != nullptr) --liveAllocations;
    std::free(block);
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

using testfiles::TempFolder;

TEST(MemoryFailure, EveryAllocationOfAnExaminationMayFailAndNothingStaysHeldOpenOrHalfCounted) {
    TempFolder folder;
    const std::string path = folder.Write("war.scn", filemaker::ScenarioFile(testfiles::SmallMap(), {{10, 3}}, {}));
    ASSERT_EQ(ExaminePath(FileKind::Scenario, path), LoadSucceeded);  // settles what the library allocates once
    ReleaseMassBuffers();
    const long liveBefore = liveAllocations;
    int memoryFailures = 0, cityFailures = 0;
    for (long n = 1; n < 200; ++n) {
        examineResults.waterMassCount = 77;
        examineResults.landMassCount = 88;
        countdown = n;
        const LoadStatus status = ExaminePath(FileKind::Scenario, path);
        countdown = 0;
        if (status == LoadSucceeded) break;
        if (status == LoadNoMemory) {  // no counts or labels of a labelling without its memory
            EXPECT_EQ(std::pair(examineResults.waterMassCount, examineResults.landMassCount), std::pair(77, 88));
            EXPECT_TRUE(massLabels().empty()) << "allocation " << n;
        }
        ReleaseMassBuffers();  // the labels of a run are held until the next one
        // A labelling that went on without its memory would end the loop before the city records.
        memoryFailures += status == LoadNoMemory;
        cityFailures += status == LoadNoCityMemory;
        EXPECT_TRUE(status == LoadNoMemory || status == LoadNoCityMemory) << "allocation " << n << ": " << status;
        EXPECT_EQ(liveAllocations, liveBefore) << "allocation " << n;
        EXPECT_FALSE(testfiles::HeldOpen(path)) << "allocation " << n;
    }
    EXPECT_GE(memoryFailures, 5);  // the record, the directory (-10, not bad data), labels, squares' masses, masses
    EXPECT_EQ(cityFailures, 1);
    EXPECT_EQ(ExaminePath(FileKind::Scenario, path), LoadSucceeded);
}

TEST(MemoryFailure, DirectoryLargerThanTheFileIsBadDataWithoutAskingForItsMemory) {
    TempFolder folder;
    filemaker::GameFile file = filemaker::MapFile(testfiles::SmallMap(), {});
    for (uint32_t directorySize : {1000000u, 0x7FFFFFF0u, 0xFFFFFFFFu}) {
        file.directorySize = directorySize;
        const std::string lying = folder.Write("lying.map", file);
        largestRequest = 0;
        EXPECT_EQ(ExaminePath(FileKind::Map, lying), LoadBadHeaders) << directorySize;
        EXPECT_LT(largestRequest, size_t{100000}) << directorySize;
    }
}
