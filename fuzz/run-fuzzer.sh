#!/usr/bin/env bash
# Fuzzes the examination for TELVORN_FUZZ_SECONDS (60 unless set), starting
# from small sound files that the seed maker and the sample maker write; the
# corpus it grows stays in BUILD/corpus for the next run, and an input that
# fails is written to BUILD/findings and fails the run. CTest runs it as the
# test fuzz of the fuzz build.
#   Usage: FUZZER SEED_MAKER SAMPLE_MAKER DICTIONARY BUILD
set -euo pipefail
[[ $# -eq 5 ]] || { echo "usage: $0 FUZZER SEED_MAKER SAMPLE_MAKER DICTIONARY BUILD" >&2; exit 2; }
fuzzer=$1 seed_maker=$2 sample_maker=$3 dictionary=$4 build=$5
seconds=${TELVORN_FUZZ_SECONDS:-60}
rm -rf "$build/seeds"
mkdir -p "$build/seeds" "$build/corpus" "$build/findings"
"$seed_maker" "$build/seeds" >/dev/null
"$sample_maker" "$build/seeds" >/dev/null

echo "fuzzing the examination for $seconds seconds"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -dict="$dictionary" -artifact_prefix="$build/findings/" -print_final_stats=1 \
    "$build/corpus" "$build/seeds" 2>"$build/fuzz.log" ||
    { tail -n 60 "$build/fuzz.log"; echo "the fuzzer found a failure; its input is in $build/findings"; exit 1; }
grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$build/fuzz.log" || true
