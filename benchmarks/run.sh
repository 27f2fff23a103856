#!/usr/bin/env bash
# Builds Telvorn for speed and makes three comparisons on the crafted maps:
#  1. the mass labelling alone against a general-purpose labelling of the
#     same grid (OpenCV's connected components, 8-connected, on one thread,
#     water and land each labelled once), side by side in one benchmark run,
#     beside the literal labelling and whole examinations;
#  2. the command-line examiner over a folder of 1,000 crafted maps against
#     reading the same files with cat;
#  3. that examiner against one cat of the folder plus OpenCV's labelling of
#     each of its maps.
# Google Benchmark computes each benchmark's least and median over its
# repetitions, hyperfine each command's; this script only divides them.
# OpenCV and hyperfine are installed and used here only: the programs and the
# test run neither need nor build with them. Google Benchmark options such as
# --benchmark_filter=flat are handed on to the benchmark run.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
echo "== installing what the benchmarks need (OpenCV's image processing and hyperfine), if missing"
need_packages "${NATIVE_PACKAGES[@]}" libbenchmark-dev libopencv-imgproc-dev hyperfine

build="$root/build-release"
echo "== building for speed in $build, with the OpenCV yardstick"
(cd "$root" && cmake --preset release -DTELVORN_BENCHMARK_OPENCV=ON >/dev/null)
cmake --build "$build" -j"$jobs" --target telvorn-examine telvorn-make-samples telvorn-benchmarks >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
machine() { echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 minutes)"; }
echo "== on $(machine)"

echo "== the labelling alone and whole examinations, in process (processor time per run; 10 runs each)"
"$build/benchmarks/telvorn-benchmark" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/labelling.csv" --benchmark_out_format=csv "$@"

"$build/filemaker/telvorn-make-samples" --crafted "$work/crafted" >/dev/null
copies=200
crafted=$(find "$work/crafted" -name '*.map' | wc -l)

echo
echo "== 1. the labelling against OpenCV's connectedComponents (8-connected, cv::setNumThreads(1)),"
echo "      per map: processor time, least and median of the 10 runs above"
# Reads the aggregates "labelling/fast/MAP_least" and the like; leaves in
# opencv.txt the OpenCV labelling's least and median over the folder's maps.
awk -F, -v copies="$copies" -v crafted="$crafted" -v sums="$work/opencv.txt" '
    $1 ~ /^"labelling\/(fast|opencv)\/[^"]*_(least|median)"$/ {
        gsub(/"/, "", $1)
        split($1, part, "/")
        map = part[3]; sub(/_[a-z]+$/, "", map)
        statistic = part[3]; sub(/.*_/, "", statistic)
        if (!(map in seen)) { seen[map] = 1; order[++maps] = map }
        time[part[2], map, statistic] = $4 / 1000
    }
    END {
        printf "%-18s %24s %24s %16s\n", "map", "labelling least/median", "OpenCV least/median", "ratio of each"
        for (i = 1; i <= maps; ++i) {
            m = order[i]
            if (!(("fast", m, "least") in time) || !(("opencv", m, "least") in time)) continue
            printf "%-18s %15.0f /%5.0f us %15.0f /%5.0f us %9.2f / %.2f\n", m,
                   time["fast", m, "least"], time["fast", m, "median"],
                   time["opencv", m, "least"], time["opencv", m, "median"],
                   time["fast", m, "least"] / time["opencv", m, "least"],
                   time["fast", m, "median"] / time["opencv", m, "median"]
            least += time["opencv", m, "least"]; median += time["opencv", m, "median"]; ++timed
        }
        if (timed == crafted) printf "%.1f %.1f\n", least * copies / 1000, median * copies / 1000 > sums
    }' "$work/labelling.csv"

echo
echo "== the examiner over a folder of 1,000 crafted maps ($copies copies of each) and cat, warm cache, wall time"
mkdir "$work/maps"
for copy in $(seq -w 1 "$copies"); do
    for map in "$work"/crafted/*.map; do cp "$map" "$work/maps/$copy-$(basename "$map")"; done
done
# One cat over the whole folder reads the files as the examiner does, in one
# process; a cat per file adds a process start for each, for comparison.
hyperfine --warmup 2 --runs 10 --export-csv "$work/folder.csv" \
    -n examiner "'$build/examiner/telvorn-examine' '$work/maps' >/dev/null" \
    -n "one cat" "cat '$work/maps'/*.map >/dev/null" \
    -n "a cat per file" "find '$work/maps' -name '*.map' -exec cat {} ';' >/dev/null"

echo
echo "== 2. and 3. the examiner against cat, and against one cat plus OpenCV's labelling of each map"
echo "      (the labelling's least and median above, $copies times each map), least and median of 10 runs"
awk -F, -v sums="$work/opencv.txt" '
    NR > 1 { least[$1] = $7 * 1000; median[$1] = $4 * 1000 }
    END {
        e = "examiner"; c = "one cat"; p = "a cat per file"
        printf "%-40s %7.0f / %4.0f ms\n", "examiner", least[e], median[e]
        printf "%-40s %7.0f / %4.0f ms, ratio %.2f / %.2f\n", "2. one cat", least[c], median[c],
               least[e] / least[c], median[e] / median[c]
        printf "%-40s %7.0f / %4.0f ms, ratio %.2f / %.2f\n", "   a cat per file", least[p], median[p],
               least[e] / least[p], median[e] / median[p]
        if ((getline line < sums) <= 0) {
            print "3. needs OpenCV timed on every crafted map: run without --benchmark_filter"
            exit
        }
        split(line, cv, " ")
        printf "%-40s %7.0f / %4.0f ms, ratio %.2f / %.2f\n", "3. one cat plus OpenCV on each map",
               least[c] + cv[1], median[c] + cv[2], least[e] / (least[c] + cv[1]), median[e] / (median[c] + cv[2])
    }' "$work/folder.csv"
echo "== on $(machine)"
