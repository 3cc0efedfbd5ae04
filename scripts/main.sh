#!/usr/bin/env bash
# The main job: cross-builds hwid.exe, runs it under Wine as this machine
# and prints the report it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
cat scripts/native-packages.txt scripts/windows-packages.txt |
  xargs bash scripts/install-packages.sh
cmake --preset windows > /dev/null
cmake --build --preset windows --target hwid -j "$(nproc)" > /dev/null

if ! reason=$(cmake/wine-probe.sh); then
  echo "built build/windows/bin/hwid.exe, but cannot run it on this machine: ${reason#SKIPPED: }" >&2
  exit 1
fi

# A Wine prefix of the main job's own, kept apart from the tests'.
prefix=$PWD/build/windows/main-prefix
HWID_WINEPREFIX=$prefix cmake/wine-run.sh build/windows/bin/hwid.exe
# hwid.exe hands the report to the shell and exits; let what it started end.
WINEPREFIX=$prefix wineserver -w
echo "build/windows/bin/hwid.exe wrote $prefix/drive_c/HWID.txt:"
cat "$prefix/drive_c/HWID.txt"
echo "(On Windows, run hwid.exe itself: it writes C:\\HWID.txt and opens it.)"
