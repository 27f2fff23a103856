#!/usr/bin/env bash
# Makes the Debian package and the zip again from this source, each in a
# folder of its own, and holds them to the packages given byte for byte, and
# each build's SHA256SUMS to its package: anyone can check that a package was
# made from a commit.   Usage: SOURCE WINDOWS_PRESET DEB ZIP
set -euo pipefail
[[ $# -eq 4 ]] || { echo "usage: $0 SOURCE WINDOWS_PRESET DEB ZIP" >&2; exit 2; }
source=$1 windows_preset=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-rebuild.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failed=0
for preset_and_package in "native $3" "$windows_preset $4"; do
  read -r preset package <<<"$preset_and_package"
  build=$scratch/$preset
  echo "rebuild: $preset in $build"
  cmake -S "$source" -B "$build" --preset "$preset" -DBUILD_TESTING=OFF >"$scratch/$preset.log" 2>&1 &&
    cmake --build "$build" -j"$(nproc)" --target package >>"$scratch/$preset.log" 2>&1 ||
    { tail -n 30 "$scratch/$preset.log"; echo "FAIL the $preset build"; failed=$((failed + 1)); continue; }
  name=$(basename "$package")
  cmp "$package" "$build/$name" || { echo "FAIL $name differs when made again"; failed=$((failed + 1)); }
  (cd "$(dirname "$package")" && sha256sum --check --quiet SHA256SUMS) ||
    { echo "FAIL SHA256SUMS beside $name does not hold its sum"; failed=$((failed + 1)); }
  cmp "$(dirname "$package")/SHA256SUMS" "$build/SHA256SUMS" ||
    { echo "FAIL SHA256SUMS differs when made again"; failed=$((failed + 1)); }
done
echo "rebuild: $failed failed ($(basename "$3"), $(basename "$4"))"
[[ $failed -eq 0 ]]
