#!/usr/bin/env bash
# The main job: builds machine-id and explains the worked example.
set -euo pipefail
cd "$(dirname "$0")/.."
xargs bash scripts/install-packages.sh < scripts/native-packages.txt
cmake --preset native > /dev/null
cmake --build --preset native --target machine-id -j "$(nproc)" > /dev/null
build/native/bin/machine-id --explain --user dev01 --computer PC-4F --serial 1A2B-3C4D
