#!/usr/bin/env bash
# Two clean builds of these sources at two different paths give hwid.exe
# byte for byte, and the same bytes as the tested build's.
#   reproducible_build_test.sh SOURCE_DIR TESTED_HWID_EXE
set -euo pipefail
source_dir=$1
tested_exe=$2

work=$(mktemp -d /tmp/hwid-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

for copy in "$work/a" "$work/a-longer-path-for-the-second-build"; do
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
  cmake -S "$copy" --preset windows >/dev/null
  cmake --build "$copy/build/windows" --target hwid -j "$(nproc)" >/dev/null
done

cmp "$work/a/build/windows/bin/hwid.exe" \
  "$work/a-longer-path-for-the-second-build/build/windows/bin/hwid.exe"
cmp "$work/a/build/windows/bin/hwid.exe" "$tested_exe"
echo "PASS"
