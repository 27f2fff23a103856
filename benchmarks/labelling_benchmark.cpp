// The mass labelling alone, beside the literal one, and a whole examination
// of a map file, on each crafted map. With TELVORN_BENCHMARK_OPENCV, a
// general-purpose labelling of the same grids runs beside them as a yardstick.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#ifdef TELVORN_BENCHMARK_OPENCV
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include "analysis/mass_labelling.h"
#include "analysis/terrain_class.h"
#include "examine/examine_path.h"
#include "filemaker/crafted_maps.h"
#include "literal_labelling/literal_labelling.h"

namespace {

void LabelAlone(benchmark::State& state, const filemaker::MapLayout& map) {
    const MapHeader header = LoadSquares(map);
    for (auto _ : state) {
        LabelMasses(header);
        benchmark::DoNotOptimize(massLabels().data());
    }
}

void LabelLiterally(benchmark::State& state, const filemaker::MapLayout& map) {
    const MapHeader header = LoadSquares(map);
    for (auto _ : state) benchmark::DoNotOptimize(LabelMassesLiterally(header, mapSquares.data()));
}

#ifdef TELVORN_BENCHMARK_OPENCV
// OpenCV's connected components, 8-connected, of the map's water and of its
// land, each labelled once over the whole grid. The masks are made before
// the timing, so only the labelling counts.
void LabelWithOpenCV(benchmark::State& state, const filemaker::MapLayout& map) {
    LoadSquares(map);
    cv::Mat water(map.rows, map.columns, CV_8U), land(map.rows, map.columns, CV_8U), labels;
    for (int row = 0; row < map.rows; ++row)
        for (int column = 0; column < map.columns; ++column) {
            const bool isWater = IsWaterCode(mapSquares[row * map.columns + column]);
            water.at<uint8_t>(row, column) = isWater ? 255 : 0;
            land.at<uint8_t>(row, column) = isWater ? 0 : 255;
        }
    for (auto _ : state) {
        benchmark::DoNotOptimize(cv::connectedComponents(water, labels, 8, CV_32S));
        benchmark::DoNotOptimize(cv::connectedComponents(land, labels, 8, CV_32S));
    }
}
#endif

void ExamineWhole(benchmark::State& state, const std::string& path) {
    for (auto _ : state)
        if (ExaminePath(FileKind::Map, path) != LoadSucceeded) state.SkipWithError("examination failed");
}

// The least time of the repetitions: the one that other work on the machine
// disturbed least. Beside the median, which Google Benchmark computes itself.
double Least(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

template <typename... Args>
void Register(const std::string& name, Args&&... args) {
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)->ComputeStatistics("least", Least);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef TELVORN_BENCHMARK_OPENCV
    // One thread, as the mass labelling has.
    cv::setNumThreads(1);
#endif
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("telvorn-benchmark-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (const auto& [name, map] : filemaker::CraftedMaps()) {
        const std::string path = (folder / (name + ".map")).string();
        if (!filemaker::WriteBytes(path, filemaker::Build(filemaker::MapFile(map, {})))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        Register("labelling/fast/" + name, LabelAlone, map);
#ifdef TELVORN_BENCHMARK_OPENCV
        Register("labelling/opencv/" + name, LabelWithOpenCV, map);
#endif
        Register("labelling/literal/" + name, LabelLiterally, map);
        Register("examination/fast/" + name, ExamineWhole, path);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
