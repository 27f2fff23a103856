#include "examine/examine_path.h"

#include "analysis/map_statistics.h"
#include "analysis/scenario_units.h"
#include "examine/kind_texts.h"
#include "gamefile/chunk_file.h"

#include <utility>

LoadStatus ExaminePath(FileKind kind, const std::string& path) {
    const KindText& texts = KindTextOf(kind);
    LoadStatus status = LoadSucceeded;
    std::unique_ptr<ChunkFile> chunkFile =
        OpenChunkFile(path, texts.typeTag, texts.minVersion, texts.maxVersion, status);
    if (!chunkFile) return status;

    currentFile = chunkFile.get();
    status = CollectMapStatistics();
    if (status == LoadSucceeded && texts.readsScenarioUnits) status = ReadScenarioUnits();
    currentFile = nullptr;
    CloseChunkFile(std::move(chunkFile));
    return status;
}

std::string LoadStatusMessage(std::string_view kindName, std::string_view path, LoadStatus status) {
    std::string_view reason;
    switch (status) {
        case LoadVersionTooNew:
            reason = "File is from newer version of Corvanta. An update may be available.";
            break;
        case LoadVersionTooOld:
            reason = "File is from unsupported version of Corvanta.";
            break;
        case LoadCannotOpen:
            reason = "Unable to find file.";
            break;
        case LoadNoMemory:
            reason = "Game is short on memory.";
            break;
        default:
            reason = "File data is bad.";
            break;
    }
    std::string message = "Error loading ";
    message.append(kindName).append(" file\n").append(path).append("\n").append(reason);
    return message;
}
