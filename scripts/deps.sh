# Installs the Debian packages that a build needs, or says which are missing.
# Sourced by the start and test scripts: `need_packages NAME...`.

# Packages of the native build and its tests (python3-jsonschema checks the
# examiner's reports against their schema; help2man makes the manual pages;
# chromium renders the examiner's html page).
NATIVE_PACKAGES=(g++ cmake make libgtest-dev libpng-dev libbenchmark-dev python3-jsonschema help2man chromium)
# Packages of the start: the Windows program's build, whose artwork and
# samples the build machine's own compiler makes.
START_PACKAGES=(g++ cmake make)
# Packages of the Windows build and of running it under Wine in a virtual display.
WINDOWS_PACKAGES=(g++-mingw-w64-i686 mingw-w64-tools googletest wine fonts-wine xvfb xauth imagemagick)
# Wine for the 32-bit program, or, where 32-bit programs cannot run, the
# 64-bit build of the same sources and the Wine that runs it.
WINE32_PACKAGES=(wine32:i386)
WINE64_PACKAGES=(g++-mingw-w64-x86-64 wine64)
# Making the packages and checking what they hold (icoutils reads the
# manifests out of the .exe files).
PACKAGE_PACKAGES=(dpkg-dev lintian zip unzip man-db binutils icoutils)
# clang with libFuzzer and the sanitizers, for the fuzzer of the examination.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Fills the array missing with those of the named packages not installed.
find_missing_packages() {
    local package
    missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' \
            || missing+=("$package")
    done
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        return 1
    fi
}

need_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "telvorn: this set-up installs Debian packages; install these by hand: $*" >&2
        return 1
    fi
    local missing
    find_missing_packages "$@"
    [ "${#missing[@]}" -eq 0 ] && return 0

    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "telvorn: enabling the i386 architecture for 32-bit Wine" >&2
        as_root dpkg --add-architecture i386 || { cannot_install "${missing[@]}"; return 1; }
    fi
    echo "telvorn: installing ${missing[*]}" >&2
    if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q \
        || ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        cannot_install "${missing[@]}"
        return 1
    fi
}

cannot_install() {
    echo "telvorn: could not install the packages: $*" >&2
    echo "telvorn: run as root or with sudo, or install them yourself (apt-get install $*)" >&2
}
