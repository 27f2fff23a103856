#!/usr/bin/env bash
# Fuzzes the examination: libFuzzer feeds arbitrary bytes to it, as a map and
# as a scenario, under AddressSanitizer and UndefinedBehaviorSanitizer.
#   bash scripts/fuzz.sh [SECONDS]     (60 seconds unless given)
# The corpus that it grows stays in build-fuzz/corpus for the next run; an
# input that fails is written to build-fuzz/findings and the run stops.
set -euo pipefail
source "$(dirname "$0")/common.sh"
seconds=${1:-60}
need_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

echo "== building the fuzzer"
build_preset fuzz
fuzz=$root/build-fuzz
fuzzer=$fuzz/fuzz/telvorn-fuzz-examine
rm -rf "$fuzz/seeds"
mkdir -p "$fuzz/seeds" "$fuzz/corpus" "$fuzz/findings"
"$fuzz/fuzz/telvorn-fuzz-seeds" "$fuzz/seeds" >/dev/null
"$fuzz/filemaker/telvorn-make-samples" "$fuzz/seeds" >/dev/null

echo "== fuzzing for $seconds seconds"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -dict="$root/fuzz/examine.dict" -artifact_prefix="$fuzz/findings/" -print_final_stats=1 \
    "$fuzz/corpus" "$fuzz/seeds" 2>"$fuzz/fuzz.log" \
    || { tail -n 60 "$fuzz/fuzz.log" >&2; echo "telvorn: the fuzzer found a failure; its input is in $fuzz/findings" >&2; exit 1; }
grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$fuzz/fuzz.log" || true
