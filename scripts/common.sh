# Shared by the start and test scripts: where things are and how they are built.
# Sourced by the entry scripts, which set their own strict mode.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)

# build_preset PRESET [TARGET...]: configures and builds one of the
# configurations of CMakePresets.json (all of it without targets).
build_preset() {
    local preset=$1
    shift
    (cd "$root" && cmake --preset "$preset" >/dev/null)
    (cd "$root" && cmake --build --preset "$preset" -j"$jobs" ${1:+--target "$@"})
}

build_windows_program() {
    build_preset win32
}

# True when the kernel executes 32-bit x86 programs. The probe is a 96-byte
# static i386 program, written here, that only exits with status 42: it needs
# no package, so a machine without 32-bit libraries yet is not mistaken for
# one that cannot run them (where the kernel answers "Exec format error").
can_execute_32bit_programs() {
    local probe="$root/build-win/i386-probe" status=0
    mkdir -p "$root/build-win"
    printf '%b' '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0' \
        '\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
        '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0' \
        '\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}

# Chooses the Windows build that runs under Wine, for the GUI tests and the
# start: the 32-bit program itself where this machine executes 32-bit
# programs, otherwise a 64-bit build of the same sources under 64-bit Wine.
# Sets windows_run_build (the build folder), windows_run_preset,
# windows_run_packages,
# windows_run_wine (the command that runs it) and windows_run_reason (one
# line that says which and why).
choose_windows_run() {
    if can_execute_32bit_programs; then
        windows_run_build=build-win
        windows_run_preset=win32
        windows_run_packages=("${WINE32_PACKAGES[@]}")
        windows_run_wine=wine
        windows_run_reason="the 32-bit telvorn.exe under 32-bit Wine (this machine runs 32-bit programs)"
    else
        windows_run_build=build-win64
        windows_run_preset=win64
        windows_run_packages=("${WINE64_PACKAGES[@]}")
        # Debian's wine command takes the 32-bit loader whenever it is
        # installed, even where it cannot run, so the 64-bit loader is named.
        windows_run_wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
        windows_run_reason="a 64-bit build of telvorn.exe under 64-bit Wine (this machine cannot execute 32-bit programs)"
    fi
}

# Builds the 32-bit program and, when it is the one chosen, the 64-bit build.
build_windows_run() {
    build_windows_program
    if [ "$windows_run_preset" != win32 ]; then build_preset "$windows_run_preset"; fi
}

# Runs the core's unit tests, built as Windows code, under Wine in a Wine
# set-up of their own inside the build folder (made on the first run).
run_windows_unit_tests() (
    local build="$root/$windows_run_build"
    export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
    if [ "$windows_run_preset" = win32 ]; then export WINEARCH=win32; fi
    if [ ! -d "$WINEPREFIX/drive_c" ]; then
        echo "telvorn: preparing the unit tests' Wine set-up in $WINEPREFIX (once)" >&2
        "$windows_run_wine" wineboot -i >"$build/wineboot.log" 2>&1
    fi
    ctest --test-dir "$build" --output-on-failure
    wineserver -k 2>/dev/null || true
)

# Wine must not stop to offer downloads of .NET and HTML engines the program never uses.
export WINEDLLOVERRIDES="mscoree,mshtml="
