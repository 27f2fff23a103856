# Shared by the start and test scripts: where things are and which Windows
# build runs here. Sourced by the entry scripts, which set their own strict mode.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)
export CMAKE_BUILD_PARALLEL_LEVEL=$jobs CTEST_PARALLEL_LEVEL=$jobs

# True when the kernel executes 32-bit x86 programs. The probe is a 96-byte
# static i386 program, written here, that only exits with status 42: it needs
# no package, so a machine without 32-bit libraries yet is not mistaken for
# one that cannot run them (where the kernel answers "Exec format error").
can_execute_32bit_programs() {
    local probe status=0
    probe=$(mktemp "${TMPDIR:-/tmp}/telvorn-i386-probe.XXXXXX")
    printf '%b' '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0' \
        '\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
        '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0' \
        '\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}

# Chooses the Windows build that runs under Wine, for the tests and the
# start: the 32-bit program itself where this machine executes 32-bit
# programs, otherwise a 64-bit build of the same sources under 64-bit Wine.
# Sets windows_run_preset and windows_run_build (its folder),
# windows_run_packages (the Wine it needs) and windows_run_reason (one line
# that says which and why).
choose_windows_run() {
    if can_execute_32bit_programs; then
        windows_run_preset=win32 windows_run_build=build-win
        windows_run_packages=("${WINE32_PACKAGES[@]}")
        windows_run_reason="the 32-bit telvorn.exe under 32-bit Wine (this machine runs 32-bit programs)"
    else
        windows_run_preset=win64 windows_run_build=build-win64
        windows_run_packages=("${WINE64_PACKAGES[@]}")
        windows_run_reason="a 64-bit build of telvorn.exe under 64-bit Wine (this machine cannot execute 32-bit programs)"
    fi
}
