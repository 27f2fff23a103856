// Examines arbitrary bytes as a map file and as a scenario file, as the
// Windows program and the command-line examiner do, and checks what came out:
// a status the examination defines, mass counts within their range, and, for
// every file that examined, the labels that the literal labelling gives.
// Crashes, leaks, reads out of bounds and undefined behaviour are left to the
// sanitizers.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/examine_results.h"
#include "analysis/map_statistics.h"
#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "examine/kind_texts.h"
#include "examine/results_texts.h"
#include "literal_labelling/literal_labelling.h"

namespace {

// The examination reads files only, so each input goes through a scratch file,
// in memory where the system offers a memory-backed folder.
std::string ScratchPath() {
    std::error_code error;
    std::filesystem::path folder = "/dev/shm";
    if (!std::filesystem::is_directory(folder, error)) folder = std::filesystem::temp_directory_path();
    return (folder / ("telvorn-fuzz-" + std::to_string(getpid()))).string();
}

[[noreturn]] void Fail(const char* what, FileKind kind, int detail) {
    std::fprintf(stderr, "telvorn fuzz: %s (as a %s; %d)\n", what, kind == FileKind::Map ? "map" : "scenario",
                 detail);
    std::abort();
}

bool IsDefinedStatus(LoadStatus status) {
    return status == LoadSucceeded || status == LoadChunkUnreadable || status == LoadNoCityMemory ||
           (status <= LoadNoMemory && status >= LoadVersionTooNew);
}

// The figures, held to the literal labelling, and the texts that the results
// show, built as the results build them so that the sanitizers watch them.
void CheckExamined(FileKind kind, const ExaminedMap& map) {
    for (const int32_t count : {examineResults.waterMassCount, examineResults.landMassCount})
        if (count < 0 || count > 255) Fail("mass count out of range", kind, count);

    const LiteralMasses literal = LabelMassesLiterally(map.header, map.squares.data());
    if (literal.waterMassCount != examineResults.waterMassCount)
        Fail("water masses differ from the literal labelling", kind, literal.waterMassCount);
    if (literal.landMassCount != examineResults.landMassCount)
        Fail("land masses differ from the literal labelling", kind, literal.landMassCount);
    const std::vector<uint8_t>& labels = map.labels;
    if (labels.size() != literal.labels.size()) Fail("label count differs", kind, int(labels.size()));
    const auto parted = std::mismatch(labels.begin(), labels.end(), literal.labels.begin()).first;
    if (parted != labels.end()) Fail("a square's label differs", kind, int(parted - labels.begin()));

    const std::string texts = ResultsTitle(examineResults) + WrapText(examineResults) +
                        AverageProductionEfficiencyText(examineResults) +
                        MassCountText(examineResults.waterMassCount) + MassCountText(examineResults.landMassCount) +
                        NumberText(TotalSquares(examineResults));
    for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
        TerrainPercentageText(examineResults, terrainClass);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchPath();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file) {
            std::fprintf(stderr, "telvorn fuzz: cannot write %s\n", path.c_str());
            std::abort();
        }
    }
    for (const FileKind kind : {FileKind::Map, FileKind::Scenario}) {
        examineResults = ExamineResults{};
        examineResults.kind = kind;
        ExaminedMap map;
        const LoadStatus status = ExaminePath(kind, path, map);
        if (!IsDefinedStatus(status)) Fail("status the examination does not define", kind, status);
        if (status == LoadSucceeded)
            CheckExamined(kind, map);
        else
            LoadStatusMessage(KindTextOf(kind).kindName, path, status);
    }
    ReleaseMassBuffers();
    return 0;
}
