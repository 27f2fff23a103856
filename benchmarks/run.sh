#!/usr/bin/env bash
# Builds Telvorn for speed and times the mass labelling on the crafted maps:
# the benchmarks of the labelling alone and of whole examinations, beside the
# literal labelling, then the command-line examiner run on each map as a user
# runs it, once per file and over a folder of copies.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
need_packages "${NATIVE_PACKAGES[@]}" libbenchmark-dev

build="$root/build-release"
build_preset release all telvorn-benchmarks

echo "== the labelling alone and whole examinations, in process"
"$build/benchmarks/telvorn-benchmark" "$@"

maps=$(mktemp -d)
trap 'rm -rf "$maps"' EXIT
"$build/filemaker/telvorn-make-samples" --crafted "$maps" >/dev/null

# cpu_microseconds RUNS COMMAND...: the processor time (user and system) of
# RUNS runs of the command, per run. Processor time, not wall time, so that
# other work on the machine does not count.
cpu_microseconds() {
    local runs=$1
    shift
    local TIMEFORMAT='%3U %3S'
    local times
    times=$( { time (for run in $(seq "$runs"); do "$@" >/dev/null; done) ; } 2>&1 )
    awk -v runs="$runs" -v t="$times" 'BEGIN { split(t, p, " "); printf "%d", (p[1] + p[2]) * 1e6 / runs }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== the command-line examiner, processor time: a run on one file (mean of 40), and per file in one run over 50 copies"
printf '%-18s %12s %8s %14s %8s\n' map "one file" "x flat" "50 copies" "x flat"
for map in flat noise isolated-water stripes-and-bars comb; do
    single=$(cpu_microseconds 40 "$build/examiner/telvorn-examine" "$maps/$map.map")
    mkdir "$maps/$map"
    for copy in $(seq -w 50); do cp "$maps/$map.map" "$maps/$map/$copy.map"; done
    folder=$(($(cpu_microseconds 1 "$build/examiner/telvorn-examine" "$maps/$map") / 50))
    if [ "$map" = flat ]; then flatSingle=$single flatFolder=$folder; fi
    printf '%-18s %9d us %8s %11d us %8s\n' "$map" "$single" "$(ratio "$single" "$flatSingle")" \
        "$folder" "$(ratio "$folder" "$flatFolder")"
done
