// The mass labelling alone, beside the literal one, and a whole examination
// of a map file, on each crafted map.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "filemaker/crafted_maps.h"
#include "literal_labelling/literal_labelling.h"

namespace {

void LabelAlone(benchmark::State& state, const filemaker::MapLayout& map) {
    const MapHeader header = LoadSquares(map);
    for (auto _ : state) benchmark::DoNotOptimize(LabelMasses(header));
}

void LabelLiterally(benchmark::State& state, const filemaker::MapLayout& map) {
    const MapHeader header = LoadSquares(map);
    for (auto _ : state) benchmark::DoNotOptimize(LabelMassesLiterally(header, mapSquares.data()));
}

void ExamineWhole(benchmark::State& state, const std::string& path) {
    for (auto _ : state)
        if (ExaminePath(FileKind::Map, path) != LoadSucceeded) state.SkipWithError("examination failed");
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("telvorn-benchmark-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (const auto& [name, map] : filemaker::CraftedMaps()) {
        const std::string path = (folder / (name + ".map")).string();
        if (!filemaker::WriteBytes(path, filemaker::Build(filemaker::MapFile(map, {})))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        benchmark::RegisterBenchmark(("labelling/fast/" + name).c_str(), LabelAlone, map);
        benchmark::RegisterBenchmark(("labelling/literal/" + name).c_str(), LabelLiterally, map);
        benchmark::RegisterBenchmark(("examination/fast/" + name).c_str(), ExamineWhole, path);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
