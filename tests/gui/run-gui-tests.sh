#!/usr/bin/env bash
# Runs Telvorn's end-to-end GUI tests: the cross-built GoogleTest program
# telvorn-gui-driver.exe drives the real telvorn.exe under Wine, in a Wine
# virtual desktop on a private Xvfb display, in a Wine prefix of its own of
# the build's word size (~/.wine and $WINEPREFIX are never touched).
#
#   tests/gui/run-gui-tests.sh BUILD_WIN_DIR [--update-screenshots] [FILTER]
#
# BUILD_WIN_DIR is a finished cross build (mingw-i686, or mingw-x86_64 where
# 32-bit programs cannot run); nothing is built here. FILTER is a
# --gtest_filter. Screenshots go to BUILD_WIN_DIR/gui-screenshots as PNG, and
# with --update-screenshots also to docs/screenshots. Exits non-zero when a
# test fails or the driver does not finish; the last line is the total,
# "GUI tests: N passed, N failed".
set -euo pipefail

usage() {
  echo "usage: $0 BUILD_WIN_DIR [--update-screenshots] [FILTER]" >&2
  exit 2
}
[[ $# -ge 1 ]] || usage
build_dir=$(cd "$1" && pwd) || usage
shift
update_screenshots=false
filter=()
for argument in "$@"; do
  case "$argument" in
    --update-screenshots) update_screenshots=true ;;
    -*) usage ;;
    *) filter=("--gtest_filter=$argument") ;;
  esac
done

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program="$build_dir/ui/telvorn.exe"
driver="$build_dir/tests/gui/telvorn-gui-driver.exe"
for file in "$program" "$driver"; do
  [[ -f $file ]] || { echo "run-gui-tests: $file is missing; build $build_dir first" >&2; exit 2; }
done

# The build's word size, from the machine field of telvorn.exe's PE header.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
if [[ $(od -An -tx2 -j$((pe_offset + 4)) -N2 "$program" | tr -d ' ') == 8664 ]]; then
  bits=64
  # Debian's wine command takes the 32-bit loader whenever it is installed,
  # even where it cannot run, so the 64-bit loader is named.
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
else
  bits=32
  wine=wine
fi
for tool in "$wine" wineserver Xvfb convert timeout; do
  command -v "$tool" >/dev/null || { echo "run-gui-tests: $tool is not installed" >&2; exit 2; }
done

started=$SECONDS
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-gui.XXXXXX")
xvfb_pid=
export WINEPREFIX="$scratch/prefix"
export WINEARCH=win$bits
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
unset WINESERVER WINELOADER
# Processes that Wine starts itself take the same loader.
if [[ $bits == 64 ]]; then export WINELOADER=$wine; fi

cleanup() {
  # Only what this run started: its own wineserver (by its prefix) and its
  # own Xvfb (by its process id).
  wineserver -k >/dev/null 2>&1 || true
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $scratch/display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[[ -s $scratch/display ]] || { echo "run-gui-tests: Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$scratch/display")"

echo "run-gui-tests: making a $bits-bit Wine prefix in $WINEPREFIX on display $DISPLAY"
timeout 300 "$wine" wineboot -i >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log" >&2; exit 1; }
timeout 120 wineserver -w || true
drive_c="$WINEPREFIX/drive_c"
# Without Marlett the caption buttons draw as letters.
cp /usr/share/wine/fonts/marlett.ttf "$drive_c/windows/Fonts/"

# The driver's work folder, C:\telvorn-gui; the driver finds the rest from
# where it lies, and sets the game's registry value and INI files itself.
work="$drive_c/telvorn-gui"
mkdir -p "$work/bin" "$work/run/map" "$work/files" "$work/screenshots"
cp "$program" "$driver" "$work/bin/"
# The samples lie where a user's first start finds them: the map folder of
# the folder the program runs in.
cp "$build_dir/filemaker/map/"* "$work/run/map/"

# The driver's exit code does not come through the virtual desktop, so its
# XML report tells; a run that crashed or was cut off leaves none.
timeout 600 "$wine" explorer /desktop=telvorn,1024x768 'C:\telvorn-gui\bin\telvorn-gui-driver.exe' \
  '--gtest_output=xml:C:\telvorn-gui\results.xml' "${filter[@]}" >"$scratch/driver.log" 2>>"$scratch/wine.log" || true
tr -d '\r' <"$scratch/driver.log"

# Screenshots, cropped to their windows by the driver.
shots="$build_dir/gui-screenshots"
mkdir -p "$shots"
for bitmap in "$work/screenshots/"*.bmp; do
  [[ -e $bitmap ]] || continue
  # No time stamps in the files, so that an unchanged picture is an
  # unchanged file.
  convert "$bitmap" -strip -define png:exclude-chunks=date,time "$shots/$(basename "$bitmap" .bmp).png"
done
if $update_screenshots; then
  mkdir -p "$source_dir/docs/screenshots"
  cp "$shots/"*.png "$source_dir/docs/screenshots/"
  echo "run-gui-tests: screenshots copied to docs/screenshots"
fi

echo "run-gui-tests: $((SECONDS - started)) s; screenshots in $shots"
report=$(head -n 3 "$work/results.xml" 2>/dev/null | grep -o '<testsuites [^>]*>' || true)
attribute() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$report"; }
if [[ -n $report ]]; then
  failed=$(attribute failures)
  passed=$(($(attribute tests) - failed - $(attribute disabled)))
else
  echo "run-gui-tests: the driver ended without its report; Wine's last words:"
  grep -v 'Read access denied for device' "$scratch/wine.log" | tail -n 20 || true
  passed=0 failed=1
fi
echo "GUI tests: $passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
