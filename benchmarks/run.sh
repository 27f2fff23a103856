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

echo "== the labelling alone and whole examinations, in process (processor time per run)"
"$build/benchmarks/telvorn-benchmark" --benchmark_repetitions=10 --benchmark_display_aggregates_only=true \
    --benchmark_out="$work/labelling.csv" --benchmark_out_format=csv "$@"

echo "== the labelling against OpenCV's, per map: processor time of the 10 runs above, least and median"
# The least is the run that other work on the machine disturbed least.
awk -F, '
    function least(key,    i, m) {
        m = times[key, 1]
        for (i = 2; i <= runs[key]; ++i) if (times[key, i] < m) m = times[key, i]
        return m
    }
    function median(key,    i, j, n, t, v) {
        n = runs[key]
        for (i = 1; i <= n; ++i) v[i] = times[key, i]
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    $1 ~ /^"labelling\/(fast|opencv)\/[^_]*"$/ {
        gsub(/"/, "", $1)
        split($1, name, "/")
        if (!(name[3] in seen)) { seen[name[3]] = 1; order[++maps] = name[3] }
        key = name[2] SUBSEP name[3]
        times[key, ++runs[key]] = $4 / 1000
    }
    END {
        printf "%-18s %22s %22s %16s\n", "map", "labelling least/median", "OpenCV least/median", "ratio of each"
        for (i = 1; i <= maps; ++i) {
            fast = "fast" SUBSEP order[i]
            cv = "opencv" SUBSEP order[i]
            if (!runs[fast] || !runs[cv]) continue
            printf "%-18s %13.0f/%4.0f us %13.0f/%4.0f us %10.2f/%.2f\n", order[i], least(fast), median(fast),
                   least(cv), median(cv), least(fast) / least(cv), median(fast) / median(cv)
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
