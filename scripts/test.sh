#!/usr/bin/env bash
# Builds Telvorn and runs every test, through CMake's workflow presets: the
# core and the command-line examiner natively and under AddressSanitizer and
# UndefinedBehaviorSanitizer, a minute of fuzzing the examination, and, under
# Wine in a virtual display, the core's unit tests as Windows code, the
# Windows program end to end and the packages (what they hold, the Windows
# examiner against the native one, and the same bytes when made again).
set -euo pipefail
source "$(dirname "$0")/common.sh"
choose_windows_run
need_packages "${NATIVE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${windows_run_packages[@]}" \
    "${PACKAGE_PACKAGES[@]}"
cd "$root"

echo "== native build and tests"
cmake --workflow --preset native
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --workflow --preset sanitize
echo "== fuzzing the examination"
cmake --workflow --preset fuzz
if [ "$windows_run_preset" != win32 ]; then
    echo "== the product, the 32-bit Windows build, and its zip (this machine cannot run it)"
    cmake --preset win32 && cmake --build --preset win32-package
fi
echo "== Windows build, and under Wine its unit tests, the program end to end and the packages: $windows_run_reason"
cmake --workflow --preset "$windows_run_preset"
