#include "examine/examine_path.h"

#include <algorithm>
#include <new>
#include <utility>

#include "analysis/map_statistics.h"
#include "analysis/mass_labelling.h"
#include "analysis/scenario_units.h"
#include "examine/kind_texts.h"
#include "gamefile/chunk_file.h"

namespace {

// Opens, analyses and closes; hands the map out when map is given. Lets a
// lack of memory through as std::bad_alloc, with the file closed.
LoadStatus Examine(FileKind kind, const std::string& path, ExaminedMap* map) {
    const KindText& texts = KindTextOf(kind);
    LoadStatus status = LoadSucceeded;
    std::unique_ptr<ChunkFile> chunkFile =
        OpenChunkFile(path, texts.typeTag, texts.minVersion, texts.maxVersion, status);
    if (!chunkFile) return status;

    // currentFile is cleared on every way out, an exception's included.
    struct CurrentFile {
        explicit CurrentFile(ChunkFile* file) { currentFile = file; }
        ~CurrentFile() { currentFile = nullptr; }
    } pinned(chunkFile.get());

    MapHeader header;
    status = CollectMapStatistics(header);
    if (status == LoadSucceeded && texts.readsScenarioUnits) status = ReadScenarioUnits();
    if (status == LoadSucceeded && map != nullptr) {
        const std::vector<uint8_t>& labels = massLabels();
        map->squares.assign(mapSquares.begin(), mapSquares.begin() + static_cast<std::ptrdiff_t>(labels.size()));
        map->labels = labels;
        map->header = header;
    }
    return status;
}

LoadStatus ExamineWithin(FileKind kind, const std::string& path, ExaminedMap* map) {
    try {
        return Examine(kind, path, map);
    } catch (const std::bad_alloc&) {
        return LoadNoMemory;
    } catch (const std::length_error&) {
        return LoadNoMemory;  // a size past what the library can hold
    }
}

}  // namespace

LoadStatus ExaminePath(FileKind kind, const std::string& path) { return ExamineWithin(kind, path, nullptr); }

LoadStatus ExaminePath(FileKind kind, const std::string& path, ExaminedMap& map) {
    return ExamineWithin(kind, path, &map);
}

std::string_view LoadStatusReason(LoadStatus status) {
    switch (status) {
        case LoadVersionTooNew:
            return "File is from newer version of Corvanta. An update may be available.";
        case LoadVersionTooOld:
            return "File is from unsupported version of Corvanta.";
        case LoadCannotOpen:
            return "Unable to find file.";
        case LoadNoMemory:
            return "Game is short on memory.";
        case LoadUnknownKind:
            return "File is neither a Corvanta map nor a scenario.";
        default:
            return "File data is bad.";
    }
}

std::string LoadStatusMessage(std::string_view kindName, std::string_view path, LoadStatus status) {
    std::string message = "Error loading ";
    message.append(kindName).append(" file\n").append(path).append("\n").append(LoadStatusReason(status));
    return message;
}
