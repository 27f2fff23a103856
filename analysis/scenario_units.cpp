#include "analysis/scenario_units.h"

#include <array>

#include "analysis/examine_results.h"
#include "gamefile/chunk_file.h"

namespace {
constexpr int ScenarioReadSize = 376;
constexpr int UnitTableOffset = 4;
}  // namespace

LoadStatus ReadScenarioUnits() {
    ChunkKey key = MakeChunkKey("SCND", 0);
    if (FindCurrentChunk(key) != 0) return LoadChunkUnreadable;

    std::array<uint8_t, ScenarioReadSize> scratch{};
    if (ReadCurrentBytes(scratch.data(), ScenarioReadSize) != 0) return LoadChunkUnreadable;

    const uint8_t* count = scratch.data() + UnitTableOffset;
    for (auto& player : examineResults.playerUnits) {
        for (int32_t& unitCount : player) {
            unitCount = LittleEndianI32(count);
            count += 4;
        }
    }
    return LoadSucceeded;
}
