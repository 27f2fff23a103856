#!/usr/bin/env bash
# Checks the packages as their users get them: the Debian package unpacked,
# its tools and manual pages working at its version (the examiner's with its
# examples), the report's schema of that version in its documentation folder,
# lintian clean; the Windows zip (the 64-bit build's where 32-bit programs
# cannot run) holding both programs at that version, each with its manifest,
# the samples, the schema, README.txt with Windows line ends and the licence;
# and the zip's examiner held under Wine to the Debian package's: for each
# case below, on copies of the samples and of files named in several scripts,
# the same exit status, output and errors (line ends and path spellings
# aside) and pictures of the same names and pixels, the Windows ones palette
# images (an html page's pictures, which the two encoders make of different
# bytes, are taken out of it and compared as pictures); and its help as
# Windows users ask for it.   Usage: DEB ZIP
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 DEB ZIP" >&2; exit 2; }
deb=$(realpath "$1")
zip=$(realpath "$2")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/telvorn-packages.XXXXXX")
export WINEPREFIX="$scratch/prefix"
source "$(dirname "$0")/../../scripts/wine.sh"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
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
man -l "$root/usr/share/man/man1/telvorn-examine.1.gz" 2>&1 | grep -qx EXAMPLES ||
  fail "the manual page of telvorn-examine has no EXAMPLES section"
grep -q "\"title\": \"The report of telvorn-examine $version\"" "$root/usr/share/doc/telvorn/report.schema.json" ||
  fail "the Debian package holds no report's schema of version $version in /usr/share/doc/telvorn"
"$root/usr/bin/telvorn-make-samples" "$scratch/samples" >/dev/null || fail "telvorn-make-samples fails"
"$root/usr/bin/telvorn-examine" --format csv "$scratch/samples" >"$scratch/figures.csv" ||
  fail "telvorn-examine fails on the samples"
expect_same "files the Debian package's examiner examined" "$(($(wc -l <"$scratch/figures.csv") - 1))" 3
lintian --allow-root --fail-on error "$deb" || fail "lintian finds errors in $(basename "$deb")"

folder=$(basename "$zip" .zip)
[[ $folder == telvorn-$version-win* ]] || fail "the zip's name $folder lacks the version $version"
unzip -q "$zip" -d "$scratch/zip"
expect_same "what the zip holds" "$(cd "$scratch/zip" && find . -type f | sort | tr '\n' ' ')" \
  "./$folder/LICENSE ./$folder/README.txt ./$folder/map/archipelago.map ./$folder/map/straits.scn ./$folder/map/two-continents.map ./$folder/report.schema.json ./$folder/telvorn-examine.exe ./$folder/telvorn.exe "
readme="$scratch/zip/$folder/README.txt"
[[ $(grep -c $'\r$' "$readme") -eq $(wc -l <"$readme") && $(head -n1 "$readme") == "Telvorn $version"$'\r' ]] ||
  fail "README.txt is not the text of version $version with Windows line ends"
for exe in telvorn telvorn-examine; do
  # The version information is UTF-16 text in the resources.
  strings -el "$scratch/zip/$folder/$exe.exe" | grep -A1 -x ProductVersion | grep -qx "$version" ||
    fail "$exe.exe carries no product version $version"
  # The manifest, resource 1 of type 24: the UTF-8 code page, Windows 10 and 11, and no newer common controls.
  manifest=$(wrestool -x --raw --type=24 --name=1 "$scratch/zip/$folder/$exe.exe")
  grep -q '<activeCodePage [^>]*>UTF-8</activeCodePage>' <<<"$manifest" &&
    grep -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' <<<"$manifest" &&
    ! grep -q 'Common-Controls' <<<"$manifest" || fail "$exe.exe carries no manifest of the UTF-8 code page: $manifest"
done

# The zip's examiner against the Debian package's.
windows="$scratch/zip/$folder/telvorn-examine.exe"
samples="$scratch/zip/$folder/map"
wine_prepare "$windows"

# Each side works in a folder of its own holding maps/ (the samples),
# damaged/ (a file cut short) and names/ (samples named in several scripts);
# @ stands for the shared maps folder's absolute path, spelled with a drive
# letter and backslashes for Windows.
shared="$scratch/shared-maps"
for side in native windows; do
  mkdir -p "$scratch/$side/damaged" "$scratch/$side/names"
  cp -r "$samples" "$scratch/$side/maps"
  head -c 40 "$samples/archipelago.map" >"$scratch/$side/damaged/cut-short.map"
  cp "$samples/archipelago.map" "$scratch/$side/names/Île de Mer.map"
  cp "$samples/two-continents.map" "$scratch/$side/names/Ærø.map"
  cp "$samples/archipelago.map" "$scratch/$side/names/Москва.map"
  cp "$samples/straits.scn" "$scratch/$side/names/日本.scn"
done
cp -r "$samples" "$shared"
windows_shared="Z:${shared//\//\\}"

# The native arguments, with the shell's wildcards | the same as a Windows
# user types them ("C:\My Maps\" reaches the program as C:\My Maps").
cases=(
  'maps/archipelago.map maps/straits.scn | maps\archipelago.map maps\straits.scn'
  '--format json maps | --format json maps'
  '--format csv maps/archipelago.map maps/two-continents.map | --format csv maps\*.map'
  '--kind map --format=csv maps/straits.scn | --kind map --format=csv maps/*.scn'
  '--kind Scenario --format CSV maps/straits.scn | --kind SCENARIO --format Csv maps\straits.scn'
  '--format json names | --format json names'
  'names/*.map names/*.scn | names\*.map names\*.scn'
  '--format csv @/ | --format csv @"'
  '@/straits.scn @/archipelago.map | @\straits.scn @\ARCHIPELAGO.MAP'
  '--picture pictures maps names | --picture pictures maps names'
  '--format html maps damaged names | --format html maps damaged names'
  'maps/missing.map damaged/cut-short.map | maps\missing.map damaged\cut-short.map'
  '--format json damaged | --format json damaged'
  '--format xml maps | --format xml maps'
  '--version | --version'
)

# Both sides' words in one spelling: Unix line ends and slashes (JSON doubles
# a backslash), the shared folder without its drive letter, and the
# archipelago in capitals on Windows, whose file names ignore letter case;
# a page's pictures left out, and so are Wine's own words (a fault of one of
# its helper processes, now and then on a busy machine), which are never the
# examiner's: a fault of the examiner shows in its output and exit status.
page_pictures='data:image/png;base64,[A-Za-z0-9+/=]*'
normalise() {
  tr -d '\r' <"$1" | sed -e 's#\\\\#/#g' -e 's#\\#/#g' -e 's#Z:/#/#g' -e 's#/ARCHIPELAGO.MAP#/archipelago.map#' \
    -e "s#$page_pictures#data:#g" -e '/^wine: /d'
}

for case in "${cases[@]}"; do
  IFS='|' read -r native_arguments windows_arguments <<<"$case"
  read -ra windows_words <<<"${windows_arguments//@/$windows_shared}"
  native_status=0 windows_status=0
  # Split, and the wildcards expanded, in the native side's folder, as a shell there would.
  (cd "$scratch/native" && native_words=(${native_arguments//@/$shared}) &&
    "$root/usr/bin/telvorn-examine" "${native_words[@]}" >out 2>err) || native_status=$?
  (cd "$scratch/windows" && "$wine" "$windows" "${windows_words[@]}" >out 2>err) || windows_status=$?
  for stream in out err; do
    diff <(normalise "$scratch/native/$stream") <(normalise "$scratch/windows/$stream") >"$scratch/diff" && continue
    fail "$windows_arguments: standard ${stream/err/error} differs from the native examiner's:"
    head -n 20 "$scratch/diff"
  done
  [[ $native_status -eq $windows_status ]] ||
    fail "$windows_arguments: exit status $windows_status, natively $native_status"
  for side in native windows; do
    n=0
    while read -r uri; do
      n=$((n + 1))
      mkdir -p "$scratch/$side/pictures/page"
      base64 -d <<<"${uri#*,}" >"$scratch/$side/pictures/page/$n.png"
    done < <(grep -o "$page_pictures" "$scratch/$side/out" || true)
  done
done

# The help on Windows: asked for also as /? and -?, it names the schema beside
# the program and says nothing of what only Linux has.
windows_help=$("$wine" "$windows" --help | tr -d '\r')
for question in '/?' '-?'; do
  [[ $("$wine" "$windows" "$question" | tr -d '\r') == "$windows_help" ]] ||
    fail "telvorn-examine.exe $question does not show the help"
done
grep -q 'and meaning: report.schema.json beside telvorn-examine.exe.' <<<"$windows_help" &&
  ! grep -qE '/usr/share|pathBytes|FIFO|141' <<<"$windows_help" ||
  fail "the Windows help names another place of the schema, or what only Linux has"

# The pictures: the same files, of the same pixels; the Windows ones palette images (colour type 3).
cd "$scratch"
pictures=$(cd native/pictures 2>/dev/null && find . -type f | sort || true)
[[ -n $pictures ]] || fail "the native examiner drew no pictures"
[[ $(cd windows/pictures && find . -type f | sort) == "$pictures" ]] || fail "the Windows examiner drew other pictures"
while IFS= read -r name; do
  cmp -s <(convert "native/pictures/$name" rgb:-) <(convert "windows/pictures/$name" rgb:-) ||
    fail "the Windows examiner's $name differs from the native one's in its pixels"
  [[ $(od -An -tu1 -j25 -N1 "windows/pictures/$name") -eq 3 ]] ||
    fail "the Windows examiner's $name is no palette image"
done <<<"$pictures"

echo "packages: $failed failed ($(basename "$deb"), $(basename "$zip"); the examiner under Wine: ${#cases[@]} cases" \
  "and $(wc -l <<<"$pictures") pictures)"
[[ $failed -eq 0 ]]
