#!/usr/bin/env bash
# Checks the packages as their users get them: the Debian package unpacked,
# its tools and manual pages working at its version, lintian clean; the
# Windows zip (the 64-bit build's where 32-bit programs cannot run) holding
# both programs at that version, the samples, README and licence, its
# examiner agreeing under Wine with the Debian package's.   Usage: DEB ZIP
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 DEB ZIP" >&2; exit 2; }
deb=$(realpath "$1")
zip=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-packages.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL $*"; failed=$((failed + 1)); }
expect_same() { [[ $2 == "$3" ]] || fail "$1: '$2', not '$3'"; }  # expect_same WHAT SEEN EXPECTED

version=$(dpkg-deb -f "$deb" Version)
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for tool in telvorn-examine telvorn-make-samples; do
  expect_same "$tool --version" "$("$root/usr/bin/$tool" --version)" "$tool $version"
  man -l "$root/usr/share/man/man1/$tool.1.gz" 2>&1 | grep -q -- '--version' ||
    fail "the manual page of $tool is missing or does not show its options"
done
"$root/usr/bin/telvorn-make-samples" "$scratch/samples" >/dev/null || fail "telvorn-make-samples fails"
"$root/usr/bin/telvorn-examine" --format csv "$scratch/samples" >"$scratch/figures.csv" ||
  fail "telvorn-examine fails on the samples"
expect_same "files the Debian package's examiner examined" "$(($(wc -l <"$scratch/figures.csv") - 1))" 3
lintian --allow-root --fail-on error "$deb" || fail "lintian finds errors in $(basename "$deb")"

folder=$(basename "$zip" .zip)
[[ $folder == telvorn-$version-win* ]] || fail "the zip's name $folder lacks the version $version"
unzip -q "$zip" -d "$scratch/zip"
expect_same "what the zip holds" "$(cd "$scratch/zip" && find . -type f | sort | tr '\n' ' ')" \
  "./$folder/LICENSE ./$folder/README.md ./$folder/map/archipelago.map ./$folder/map/straits.scn ./$folder/map/two-continents.map ./$folder/telvorn-examine.exe ./$folder/telvorn.exe "
for exe in telvorn telvorn-examine; do
  # The version information is UTF-16 text in the resources.
  strings -el "$scratch/zip/$folder/$exe.exe" | grep -A1 -x ProductVersion | grep -qx "$version" ||
    fail "$exe.exe carries no product version $version"
done
"$here/examiner-under-wine.sh" "$root/usr/bin/telvorn-examine" "$scratch/zip/$folder/telvorn-examine.exe" \
  "$scratch/zip/$folder/map" || fail "the zip's examiner differs from the Debian package's"

echo "packages: $failed failed ($(basename "$deb"), $(basename "$zip"))"
[[ $failed -eq 0 ]]
