#!/usr/bin/env bash
# Builds Telvorn and runs every test: the core and the command-line examiner
# natively and under AddressSanitizer and UndefinedBehaviorSanitizer, a minute
# of fuzzing the examination, the core's unit tests as Windows code and the
# Windows program end to end under Wine in a virtual display, and last the
# packages, what they hold, and their Windows examiner under Wine against the
# native one.
set -euo pipefail
source "$(dirname "$0")/common.sh"
choose_windows_run
need_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${windows_run_packages[@]}" \
    "${PACKAGE_PACKAGES[@]}"

echo "== native build and tests"
build_preset native
# The benchmarks are only built here, so that they keep building; benchmarks/run.sh runs them.
cmake --build "$root/build" -j"$jobs" --target telvorn-benchmarks
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
build_preset sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j"$jobs"

bash "$root/scripts/fuzz.sh" 60

echo "== Windows builds, the core's unit tests and the program end to end under Wine: $windows_run_reason"
build_windows_run
run_windows_unit_tests
"$root/tests/gui/run-gui-tests.sh" "$root/$windows_run_build"

# The zip's examiner is the build's, held there to the Debian package's, format by format.
echo "== packages: the Debian package and the Windows zip, what they hold, and the Windows examiner under Wine"
cmake --build "$root/build" -j"$jobs" --target package
cmake --build "$root/build-win" -j"$jobs" --target package
if [ "$windows_run_build" != build-win ]; then
    echo "(the zip checked is $windows_run_build's, made as build-win's is, as this machine cannot run 32-bit programs)"
    cmake --build "$root/$windows_run_build" -j"$jobs" --target package
fi
"$root/tests/release/check-packages.sh" "$root"/build/telvorn_*.deb "$root/$windows_run_build"/telvorn-*-win*.zip
