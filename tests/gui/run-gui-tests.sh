#!/usr/bin/env bash
# Runs telvorn-gui-driver.exe, which drives the real telvorn.exe, under Wine in
# a private Xvfb display and Wine prefix (~/.wine and $WINEPREFIX stay as they
# are), inside a Wine virtual desktop, which draws the captions and frames
# that a desktop's window manager would. BUILD_WIN_DIR is a finished cross
# build, FILTER a --gtest_filter. Screenshots go to
# BUILD_WIN_DIR/gui-screenshots as PNG, and also to docs/screenshots with
# --update-screenshots. The exit status is the driver's: 0 when all passed.
# CTest runs it as the test gui (ctest -L gui).
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
for tool in Xvfb convert timeout; do command -v "$tool" >/dev/null || fail "$tool is not installed"; done

started=$SECONDS xvfb_pid=
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-gui.XXXXXX")
export WINEPREFIX="$scratch/prefix"
source "$source_dir/scripts/wine.sh"

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

echo "run-gui-tests: a Wine prefix in $WINEPREFIX on display $DISPLAY"
wine_prepare "$program"

# The driver's work folder C:\telvorn-gui: the driver finds the rest from
# where it lies; the samples lie where a user's first start finds them.
work="$WINEPREFIX/drive_c/telvorn-gui"
mkdir -p "$work/bin" "$work/run/map" "$work/files" "$work/screenshots"
cp "$program" "$driver" "$work/bin/"
cp "$build_dir/filemaker/map/"* "$work/run/map/"

# The virtual desktop does not hand the driver's exit status back, so a
# batch file runs the driver inside it and writes the status down.
printf '@C:\\telvorn-gui\\bin\\telvorn-gui-driver.exe %%*\r\n@echo %%errorlevel%% >C:\\telvorn-gui\\status\r\n' >"$work/run.bat"
timeout 600 "$wine" explorer /desktop=telvorn,1024x768 cmd /c 'C:\telvorn-gui\run.bat' "${filter[@]}" \
  2>"$scratch/wine.log" | tr -d '\r' || true
status=$(tr -dc 0-9 <"$work/status" 2>/dev/null || true)
[[ -n $status ]] || status=1
[[ $status -eq 0 ]] || { echo "run-gui-tests: the driver ended with status $status; Wine's last words:"; tail -n 20 "$scratch/wine.log"; }

# Without time stamps, an unchanged picture is an unchanged file.
shots="$build_dir/gui-screenshots"
mkdir -p "$shots"
for bitmap in "$work/screenshots/"*.bmp; do
  [[ -e $bitmap ]] && convert "$bitmap" -strip -define png:exclude-chunks=date,time "$shots/$(basename "$bitmap" .bmp).png"
done
! $update_screenshots || { cp "$shots/"*.png "$source_dir/docs/screenshots/" && echo "run-gui-tests: screenshots copied to docs/screenshots"; }

echo "run-gui-tests: $((SECONDS - started)) s; screenshots in $shots"
exit "$status"
