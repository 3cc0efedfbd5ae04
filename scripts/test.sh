#!/usr/bin/env bash
# Every test: builds the native tree and runs its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
xargs bash scripts/install-packages.sh < scripts/native-packages.txt
cmake --preset native
cmake --build --preset native -j "$(nproc)"
ctest --preset native -j "$(nproc)"
