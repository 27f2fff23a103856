#!/usr/bin/env bash
# Fuzzes the examination: libFuzzer feeds arbitrary bytes to it, as a map and
# as a scenario, under AddressSanitizer and UndefinedBehaviorSanitizer.
#   bash scripts/fuzz.sh [SECONDS]     (60 seconds unless given)
# The corpus that it grows stays in build-fuzz/corpus for the next run; an
# input that fails is written to build-fuzz/findings and the run stops.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
echo "== building the fuzzer"
(cd "$root" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j"$jobs")
(cd "$root" && TELVORN_FUZZ_SECONDS=${1:-60} ctest --preset fuzz)
