#!/usr/bin/env bash
# Every test: the native tree (library, tool, run against the stand-in
# platform), then the Windows tree under Wine (the same library and writer
# tests, and end-to-end runs of hwid.exe).
set -euo pipefail
cd "$(dirname "$0")/.."
cat scripts/native-packages.txt scripts/windows-packages.txt |
  xargs bash scripts/install-packages.sh
for preset in native windows; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$(nproc)"
  ctest --preset "$preset" -j "$(nproc)"
done
