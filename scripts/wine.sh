#!/usr/bin/env bash
# The one Wine set-up of the project: readies the Wine prefix $WINEPREFIX
# (~/.wine when unset) for a Windows program and picks the Wine loader for
# it. Used by the start command, the core's unit tests under Wine (as the
# build's test emulator), the GUI tests and the package check.
#
#   scripts/wine.sh EXE [ARGUMENT...]   runs EXE under the prepared prefix
#   source scripts/wine.sh; wine_prepare EXE
#                                       prepares it and sets $wine, the loader
#
# A new prefix is made for the word size of EXE (32-bit Wine for a 32-bit
# program), booted once, given Wine's Marlett font (without it the caption
# buttons draw as letters) and told not to offer downloads of the .NET and
# HTML engines that Telvorn never uses. Several runs may share a prefix: the
# first one makes it, the others wait for it.

# The loader for EXE, by the machine field of its PE header: Debian's wine
# command takes the 32-bit loader whenever it is installed, even where it
# cannot run, so the 64-bit one is named for a 64-bit program.
wine_loader_for() {
    local exe=$1 pe_offset machine
    pe_offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$exe" | tr -d ' ')
    case $machine in
        8664) command -v wine64 || echo /usr/lib/wine/wine64 ;;
        014c) echo wine ;;
        *) echo "telvorn: $exe is no 32-bit or 64-bit x86 Windows program (machine $machine)" >&2; return 1 ;;
    esac
}

wine_prepare() {
    local exe=$1
    [[ -f $exe ]] || { echo "telvorn: $exe is missing" >&2; return 1; }
    wine=$(wine_loader_for "$exe") || return 1
    command -v "$wine" >/dev/null || { echo "telvorn: $wine is not installed" >&2; return 1; }
    export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=${WINEDEBUG:--all}
    unset WINESERVER
    if [[ $wine == wine ]]; then unset WINELOADER; else export WINELOADER=$wine; fi  # for what Wine starts itself

    local arch=win32
    [[ $wine == wine ]] || arch=win64
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [[ ! -d $WINEPREFIX/drive_c ]]; then
            echo "telvorn: preparing a $arch Wine set-up in $WINEPREFIX (once)" >&2
            local log=$WINEPREFIX/telvorn-wineboot.log
            WINEARCH=$arch timeout 300 "$wine" wineboot -i >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
            timeout 120 wineserver -w || true
        elif [[ $arch == win64 ]] && grep -qs '^#arch=win32' "$WINEPREFIX/system.reg"; then
            echo "telvorn: $WINEPREFIX is a 32-bit Wine set-up, which cannot run a 64-bit program; set WINEPREFIX to another folder" >&2
            exit 1
        fi
        local fonts=$WINEPREFIX/drive_c/windows/Fonts
        [[ -e $fonts/marlett.ttf ]] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    ) 9>"$WINEPREFIX/telvorn-prepare.lock"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    [[ $# -ge 1 ]] || { echo "usage: $0 EXE [ARGUMENT...]" >&2; exit 2; }
    wine_prepare "$1"
    exec "$wine" "$@"
fi
