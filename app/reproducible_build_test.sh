#!/usr/bin/env bash
# Two clean builds of these sources at two different paths give hwid.exe
# byte for byte, and the same bytes as the tested build's; and their
# packages (hwid-<version>-win32.zip) are byte-identical too.
#   reproducible_build_test.sh SOURCE_DIR TESTED_HWID_EXE
set -euo pipefail
source_dir=$1
tested_exe=$2

work=$(mktemp -d /tmp/hwid-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

for copy in "$work/a" "$work/a-longer-path-for-the-second-build"; do
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
  cmake -S "$copy" --preset windows -DHWID_BUILD_TESTS=OFF >/dev/null
  cmake --build "$copy/build/windows" --target hwid machine-id -j "$(nproc)" >/dev/null
  (cd "$copy/build/windows" && cpack >/dev/null)
done

first=$work/a/build/windows
second=$work/a-longer-path-for-the-second-build/build/windows
cmp "$first/bin/hwid.exe" "$second/bin/hwid.exe"
cmp "$first/bin/hwid.exe" "$tested_exe"
zips=("$first"/hwid-*-win32.zip)
[ -f "${zips[0]}" ] || { echo "FAIL: no package made" >&2; exit 1; }
cmp "${zips[0]}" "$second/$(basename "${zips[0]}")"
sha256sum "${zips[0]}"
echo "PASS"
