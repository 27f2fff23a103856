#!/usr/bin/env bash
# Runs telvorn-gui-driver.exe, which drives the real telvorn.exe, under Wine in
# a private Xvfb display and Wine prefix (~/.wine and $WINEPREFIX stay as they
# are). BUILD_WIN_DIR is a finished cross build, FILTER a --gtest_filter.
# Screenshots go to BUILD_WIN_DIR/gui-screenshots as PNG, and also to
# docs/screenshots with --update-screenshots. The last line is "GUI tests:
# N passed, N failed"; the exit code is non-zero unless all pass.
set -euo pipefail

usage() { echo "usage: $0 BUILD_WIN_DIR [--update-screenshots] [FILTER]" >&2; exit 2; }
fail() { echo "run-gui-tests: $*" >&2; exit 2; }
[[ $# -ge 1 ]] && build_dir=$(cd "$1" && pwd) || usage
update_screenshots=false filter=()
for argument in "${@:2}"; do
  case "$argument" in
    --update-screenshots) update_screenshots=true ;;
    -*) usage ;;
    *) filter=("--gtest_filter=$argument") ;;
  esac
done

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program="$build_dir/ui/telvorn.exe"
driver="$build_dir/tests/gui/telvorn-gui-driver.exe"
for file in "$program" "$driver"; do [[ -f $file ]] || fail "$file is missing; build $build_dir first"; done

# The word size, from the machine field of telvorn.exe's PE header. Debian's
# wine command takes the 32-bit loader whenever it is installed, even where
# it cannot run, so the 64-bit one is named, also for what Wine starts itself.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
unset WINESERVER WINELOADER
if [[ $(od -An -tx2 -j$((pe_offset + 4)) -N2 "$program" | tr -d ' ') == 8664 ]]; then
  bits=64 wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINELOADER=$wine
else
  bits=32 wine=wine
fi
for tool in "$wine" wineserver Xvfb convert timeout; do command -v "$tool" >/dev/null || fail "$tool is not installed"; done

started=$SECONDS xvfb_pid=
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-gui.XXXXXX")
export WINEPREFIX="$scratch/prefix" WINEARCH=win$bits WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs

# Only what this run started: its own wineserver (by its prefix) and Xvfb (by its id).
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -z $xvfb_pid ]] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number and writes it to fd 3 once it listens.
coproc XVFB { exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>&1 >"$scratch/xvfb.log" 2>&1; }
xvfb_pid=$XVFB_PID
read -r -t 10 display <&"${XVFB[0]}" || { cat "$scratch/xvfb.log" >&2; fail "Xvfb gave no display"; }
export DISPLAY=":$display"

echo "run-gui-tests: making a $bits-bit Wine prefix in $WINEPREFIX on display $DISPLAY"
timeout 300 "$wine" wineboot -i >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log" >&2; exit 1; }
timeout 120 wineserver -w || true
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"  # else the caption buttons draw as letters

# The driver's work folder C:\telvorn-gui: the driver finds the rest from
# where it lies; the samples lie where a user's first start finds them.
work="$WINEPREFIX/drive_c/telvorn-gui"
mkdir -p "$work/bin" "$work/run/map" "$work/files" "$work/screenshots"
cp "$program" "$driver" "$work/bin/"
cp "$build_dir/filemaker/map/"* "$work/run/map/"

# The driver's exit code does not come through the virtual desktop, so its
# XML report tells; a run that crashed or was cut off leaves none.
timeout 600 "$wine" explorer /desktop=telvorn,1024x768 'C:\telvorn-gui\bin\telvorn-gui-driver.exe' \
  '--gtest_output=xml:C:\telvorn-gui\results.xml' "${filter[@]}" >"$scratch/driver.log" 2>>"$scratch/wine.log" || true
tr -d '\r' <"$scratch/driver.log"

# Without time stamps, an unchanged picture is an unchanged file.
shots="$build_dir/gui-screenshots"
mkdir -p "$shots"
for bitmap in "$work/screenshots/"*.bmp; do
  [[ -e $bitmap ]] && convert "$bitmap" -strip -define png:exclude-chunks=date,time "$shots/$(basename "$bitmap" .bmp).png"
done
! $update_screenshots || { cp "$shots/"*.png "$source_dir/docs/screenshots/" && echo "run-gui-tests: screenshots copied to docs/screenshots"; }

echo "run-gui-tests: $((SECONDS - started)) s; screenshots in $shots"
report=$(head -n 3 "$work/results.xml" 2>/dev/null | grep -o '<testsuites [^>]*>' || true)
attribute() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$report"; }
if [[ -n $report ]]; then
  failed=$(attribute failures) passed=$(($(attribute tests) - $(attribute failures) - $(attribute disabled)))
else
  echo "run-gui-tests: the driver ended without its report; Wine's last words:"
  grep -v 'Read access denied for device' "$scratch/wine.log" | tail -n 20 || true
  passed=0 failed=1
fi
echo "GUI tests: $passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
