#!/usr/bin/env bash
# Runs Telvorn's end-to-end GUI tests: the cross-built telvorn-gui-driver.exe
# drives the real telvorn.exe under Wine, inside a Wine virtual desktop on a
# private Xvfb display, in a Wine prefix of its own of the build's word size
# (the user's ~/.wine and $WINEPREFIX are never touched).
#
#   tests/gui/run-gui-tests.sh BUILD_WIN_DIR [--update-screenshots] [CASE_TEXT...]
#
# BUILD_WIN_DIR is a finished cross build (cmake/mingw-i686.cmake, or
# cmake/mingw-x86_64.cmake where 32-bit programs cannot run) holding
# ui/telvorn.exe, tests/gui/telvorn-gui-driver.exe and the sample files in
# filemaker/map, which go where a user's first start finds them: the map
# folder of the folder the program runs in. Nothing is built here.
# CASE_TEXT limits the general cases to those whose names contain one of the
# texts (the game-folder settings then do not run). Screenshots are saved as
# PNG files in BUILD_WIN_DIR/gui-screenshots, and with --update-screenshots
# also in docs/screenshots. Exits non-zero when any case fails; the last line
# is the total, "GUI tests: N passed, N failed".
set -euo pipefail

usage() {
  echo "usage: $0 BUILD_WIN_DIR [--update-screenshots] [CASE_TEXT...]" >&2
  exit 2
}
[[ $# -ge 1 ]] || usage
build_dir=$(cd "$1" && pwd) || usage
shift
update_screenshots=false
case_texts=()
for argument in "$@"; do
  case "$argument" in
    --update-screenshots) update_screenshots=true ;;
    -*) usage ;;
    *) case_texts+=("$argument") ;;
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
  # The program reads the game's value from the registry's 32-bit view.
  registry_view=(/reg:32)
else
  bits=32
  wine=wine
  registry_view=()
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

# The driver's folders, seen from Windows below C:\telvorn-gui.
work="$drive_c/telvorn-gui"
mkdir -p "$work/bin" "$work/run/map" "$work/files" "$work/screenshots"
cp "$program" "$driver" "$work/bin/"
cp "$build_dir/filemaker/map/"* "$work/run/map/"
log="$work/driver.log"
: >"$log"

# Unix path of a Windows path on drive C:.
unix_path() {
  local path=${1#[Cc]:\\}
  echo "$drive_c/${path//\\//}"
}

game_key='HKLM\SOFTWARE\Brindlecap\Corvanta'
set_ini_registry_value() {
  "$wine" reg add "$game_key" /v INI_FILE_NAME /t REG_SZ /d "$1" /f "${registry_view[@]}" >/dev/null 2>&1
}
delete_ini_registry_value() {
  "$wine" reg delete "$game_key" /f "${registry_view[@]}" >/dev/null 2>&1 || true
}

# Writes an INI file with Windows line ends: write_ini 'C:\...\x.ini' LINE...
write_ini() {
  local file
  file=$(unix_path "$1")
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\r\n' "$@" >"$file"
}

# The driver's closing lines ("N passed, N failed") so far; it writes
# Windows line ends.
totals_in_log() {
  tr -d '\r' <"$log" | grep -c '^[0-9]* passed, [0-9]* failed$' || true
}

run_driver() {
  local status=0 totals_before
  totals_before=$(totals_in_log)
  timeout 600 "$wine" explorer /desktop=telvorn,1024x768 'C:\telvorn-gui\bin\telvorn-gui-driver.exe' \
    --program 'C:\telvorn-gui\bin\telvorn.exe' --run-folder 'C:\telvorn-gui\run' \
    --files-folder 'C:\telvorn-gui\files' --screenshots 'C:\telvorn-gui\screenshots' \
    --log 'C:\telvorn-gui\driver.log' "$@" 2>>"$scratch/wine.log" || status=$?
  # The driver's exit code does not come through the virtual desktop, so
  # its log tells: a run that was cut off or crashed has written no total.
  if [[ $(totals_in_log) -le $totals_before ]]; then
    echo "FAIL the driver run ($*) ended without its total (status $status)" >>"$log"
    echo "run-gui-tests: the driver run ($*) ended without its total (status $status)" >&2
  fi
}

# One game-folder setting: the registry value (empty: none), the INI files
# as they lie, and the folder in which the first file dialog must open.
# check_first_folder SETTING REGISTRY_VALUE EXPECTED_FOLDER
check_first_folder() {
  local setting=$1 value=$2 expected=$3
  if [[ -n $value ]]; then set_ini_registry_value "$value"; else delete_ini_registry_value; fi
  [[ $expected == '*' ]] || mkdir -p "$(unix_path "$expected")"
  run_driver first-folder "$setting" "$expected"
  delete_ini_registry_value
  rm -f "$work/run/CV.ini" "$work/games/"*.ini
}

delete_ini_registry_value
mkdir -p "$drive_c/corvanta/map"

# The general cases need no registry value and no .\CV.ini.
run_driver cases "${case_texts[@]}"

if [[ ${#case_texts[@]} -eq 0 ]]; then
  check_first_folder 'no registry value, no .\CV.ini' '' 'c:\telvorn-gui\run\map\'

  write_ini 'C:\telvorn-gui\run\CV.ini' '[FILE]' 'MAIN=C:\Telvorn-GUI\Games\Local Corvanta'
  check_first_folder 'no registry value, .\CV.ini with MAIN' '' 'c:\telvorn-gui\games\local corvanta\map\'

  write_ini 'C:\telvorn-gui\run\CV.ini' '[FILE]' 'OTHER=C:\Elsewhere' '[PATHS]' 'MAIN=C:\Elsewhere'
  check_first_folder 'no registry value, .\CV.ini without MAIN' '' 'c:\corvanta\map\'

  write_ini 'C:\telvorn-gui\games\Game.ini' '[FILE]' 'MAIN=C:\Telvorn-GUI\Games\Corvanta Deluxe'
  check_first_folder 'registry value naming an INI with MAIN' 'C:\Telvorn-GUI\Games\Game.INI' \
    'c:\telvorn-gui\games\corvanta deluxe\map\'

  # The registry names the INI, so .\CV.ini is not read even when it exists.
  write_ini 'C:\telvorn-gui\run\CV.ini' '[FILE]' 'MAIN=C:\Telvorn-GUI\Games\Local Corvanta'
  check_first_folder 'registry value naming a missing INI' 'C:\Telvorn-GUI\Games\Missing.ini' 'c:\corvanta\map\'

  write_ini 'C:\telvorn-gui\games\Game.ini' '[FILE]' 'OTHER=1'
  check_first_folder 'registry value naming an INI without MAIN' 'C:\telvorn-gui\games\Game.ini' 'c:\corvanta\map\'

  write_ini 'C:\telvorn-gui\games\Game.ini' '[FILE]' 'MAIN='
  check_first_folder 'INI with an empty MAIN' 'C:\telvorn-gui\games\Game.ini' 'c:\map\'

  write_ini 'C:\telvorn-gui\games\Game.ini' '[FILE]' 'MAIN=C:\Telvorn-GUI\Games\Trailing\'
  check_first_folder 'INI with a MAIN ending in a backslash' 'C:\telvorn-gui\games\Game.ini' \
    'c:\telvorn-gui\games\trailing\map\'

  # A folder far too long for the dialog: the dialog starts in its own
  # default folder (Wine's: the folder last used), and nothing overflows.
  long_folder="C:\\$(printf 'LongFolder%.0s' {1..99})"
  write_ini 'C:\telvorn-gui\games\Game.ini' '[FILE]' "MAIN=$long_folder"
  check_first_folder 'INI with a MAIN of 993 characters' 'C:\telvorn-gui\games\Game.ini' '*'

  # A registry value longer than the 1000-byte buffer names no file.
  check_first_folder 'registry value of 1000 characters' "C:\\$(printf 'x%.0s' {1..997})" 'c:\corvanta\map\'
fi

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

# The driver writes Windows line ends.
tr -d '\r' <"$log" >"$scratch/driver.log"
log="$scratch/driver.log"
passed=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1/p' "$log" | awk '{s+=$1} END {print s+0}')
failed=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\2/p' "$log" | awk '{s+=$1} END {print s+0}')
failed=$((failed + $(grep -c '^FAIL the driver run' "$log" || true)))
echo "run-gui-tests: $((SECONDS - started)) s; screenshots in $shots"
if [[ $failed -ne 0 ]]; then
  echo "Failed cases:"
  awk '/^FAIL/ { shown = 1; print; next } /^    / { if (shown) print; next } { shown = 0 }' "$log"
  echo "Wine's last words:"
  grep -v 'Read access denied for device' "$scratch/wine.log" | tail -n 20 || true
fi
echo "GUI tests: $passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
