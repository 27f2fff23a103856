# Shared by the start and test scripts: where things are and how they are built.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)

# configure_and_build DIR [CMAKE OPTIONS...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$root/$dir" "$@" >/dev/null
    cmake --build "$root/$dir" -j"$jobs"
}

build_windows_program() {
    configure_and_build build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
}

# Wine must not stop to offer downloads of .NET and HTML engines the program never uses.
export WINEDLLOVERRIDES="mscoree,mshtml="
