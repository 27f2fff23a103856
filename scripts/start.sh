#!/usr/bin/env bash
# Builds Telvorn for Windows and starts it under Wine, in a folder whose map
# folder holds the project's sample files: without a game installation the
# first file dialog opens on them. Only what the start needs is built, and
# nothing that is up to date, so a second start is immediate.
set -euo pipefail
source "$(dirname "$0")/common.sh"
choose_windows_run
need_packages "${START_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${windows_run_packages[@]}"

build="$root/$windows_run_build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "telvorn: configuring $windows_run_build (once)" >&2
    (cd "$root" && cmake --preset "$windows_run_preset" >/dev/null)
fi
echo "telvorn: building telvorn.exe and the sample files in $windows_run_build" >&2
# The build's steps, without its lines about what is up to date; all of it
# when it fails.
build_log="$build/start-build.log"
if ! cmake --build "$build" -j"$jobs" --target telvorn telvorn_samples 2>&1 | tee "$build_log" |
    { grep --line-buffered -E '^\[ *[0-9]+%\] [A-Z]' | grep --line-buffered -v 'Built target' | sed 's/^/  /' >&2 || true; }; then
    tail -n 40 "$build_log" >&2
    echo "telvorn: the build failed; all of its output is in $build_log" >&2
    exit 1
fi
echo "telvorn: running $windows_run_reason" >&2

run_dir="$build/run"
mkdir -p "$run_dir/map"
cp -u "$build/filemaker/map/"* "$run_dir/map/"
cp -u "$build/ui/telvorn.exe" "$run_dir/"
cd "$run_dir"

virtual_display=no
if [ -z "${DISPLAY:-}" ]; then
    display=:47
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
    export DISPLAY=$display
    virtual_display=yes
fi
# The user's own Wine set-up, so that an installed game's registry value is found.
source "$root/scripts/wine.sh"
wine_prepare "$run_dir/telvorn.exe"

if [ "$virtual_display" = yes ]; then
    echo "telvorn: no display was set, so Telvorn runs in the virtual display $display." >&2
    echo "telvorn: to see it, run this from a desktop session (where DISPLAY is set), or look at" >&2
    echo "telvorn: $run_dir/screen.png, taken a few seconds after start. Stop it with Ctrl+C." >&2
    (sleep 6 && import -display "$display" -window root "$run_dir/screen.png" 2>/dev/null) &
    # Without a window manager only a Wine desktop draws captions and frames.
    exec_args=("$wine" explorer /desktop=Telvorn,1024x768 telvorn.exe)
else
    exec_args=("$wine" telvorn.exe)
fi
echo "telvorn: starting $run_dir/telvorn.exe (samples in $run_dir/map)" >&2
"${exec_args[@]}" 2>>"$run_dir/wine.log"
