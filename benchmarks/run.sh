#!/usr/bin/env bash
# Builds Telvorn for speed and makes two comparisons on the crafted maps:
#  1. the mass labelling alone against a general-purpose labelling of the
#     same grid (OpenCV's connected components, 8-connected, water and land
#     each labelled once), side by side in one benchmark run, beside the
#     literal labelling and whole examinations;
#  2. the command-line examiner over a folder of 1,000 crafted maps against
#     reading the same files with cat.
# OpenCV and hyperfine are installed and used here only: the programs and the
# test run neither need nor build with them. Google Benchmark options such as
# --benchmark_filter=fast are handed on to the benchmark run.
source "$(dirname "$0")/../scripts/common.sh"
echo "== installing what the benchmarks need (OpenCV's image processing and hyperfine), if missing"
need_packages "${NATIVE_PACKAGES[@]}" libbenchmark-dev libopencv-imgproc-dev hyperfine

build="$root/build-release"
echo "== building for speed in $build, with the OpenCV yardstick"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTELVORN_BENCHMARK_OPENCV=ON >/dev/null
cmake --build "$build" -j"$jobs" --target telvorn-examine telvorn-make-samples telvorn-benchmarks >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== the labelling alone and whole examinations, in process (processor time per run)"
"$build/benchmarks/telvorn-benchmark" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/labelling.csv" --benchmark_out_format=csv "$@"
"$build/benchmarks/telvorn-benchmark-literal-core" "$@"

echo "== the labelling against OpenCV's, per map: medians of processor time from the run above"
awk -F, '
    $1 ~ /^"labelling\/(fast|opencv)\/.*_median"$/ {
        gsub(/"/, "", $1); split($1, name, "/"); sub(/_median$/, "", name[3])
        if (!(name[3] in seen)) { seen[name[3]] = 1; order[++maps] = name[3] }
        time[name[2], name[3]] = $4 / 1000
    }
    END {
        printf "%-18s %12s %12s %8s\n", "map", "labelling", "OpenCV", "ratio"
        for (i = 1; i <= maps; ++i) {
            map = order[i]
            if ((("fast", map) in time) && (("opencv", map) in time))
                printf "%-18s %9.0f us %9.0f us %8.2f\n", map, time["fast", map], time["opencv", map],
                       time["fast", map] / time["opencv", map]
        }
    }' "$work/labelling.csv"

echo "== the examiner over a folder of 1,000 crafted maps (200 copies of each) against cat, warm cache, wall time"
"$build/filemaker/telvorn-make-samples" --crafted "$work/crafted" >/dev/null
mkdir "$work/maps"
for copy in $(seq -w 0 199); do
    for map in "$work"/crafted/*.map; do cp "$map" "$work/maps/$copy-$(basename "$map")"; done
done
# One cat over the whole folder reads the files as the examiner does, in one
# process; a cat per file adds a process start for each, for comparison.
hyperfine --warmup 2 --runs 10 --export-csv "$work/folder.csv" \
    -n examiner "'$build/examiner/telvorn-examine' '$work/maps' >/dev/null" \
    -n "one cat" "cat '$work/maps'/*.map >/dev/null" \
    -n "a cat per file" "find '$work/maps' -name '*.map' -exec cat {} ';' >/dev/null"
awk -F, 'NR > 1 { mean[$1] = $2 }
    END {
        printf "examiner %.0f ms; one cat %.0f ms (%.1f times); a cat per file %.0f ms (%.2f times)\n",
               mean["examiner"] * 1000, mean["one cat"] * 1000, mean["examiner"] / mean["one cat"],
               mean["a cat per file"] * 1000, mean["examiner"] / mean["a cat per file"]
    }' "$work/folder.csv"
