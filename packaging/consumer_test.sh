#!/usr/bin/env bash
# The package works for a vendor's developer: install the built tree, build
# a separate project against the installed files alone with
# find_package(hwid 1.0), and run it.
#   consumer_test.sh BUILD_DIR CONSUMER_SOURCE_DIR [CMAKE_ARGS...]
# CMAKE_ARGS are the build's own compile and link flags (a sanitizer build's
# library needs its run time in the consumer too).
set -euo pipefail
build_dir=$1
consumer=$2
shift 2
work=$(mktemp -d /tmp/hwid-consumer.XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/installed" >/dev/null
# Only the installed tree is searched: not the build tree, nor the user's
# package registry.
cmake -S "$consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/installed" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_BUILD_TYPE=Release "$@" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; exit 1; }
grep -q "$work/installed" "$work/build/CMakeCache.txt" || { echo "FAIL: hwid not found in the installed tree" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
output=$("$work/build/consumer")
[ "$output" = 9d95d5278cbd6ac4957bb0540dd6a07b ] || { echo "FAIL: printed '$output'" >&2; exit 1; }
# A version the package does not promise is refused.
cp -r "$consumer" "$work/wants-2.0"
sed -i 's/find_package(hwid 1.0 REQUIRED)/find_package(hwid 2.0 REQUIRED)/' "$work/wants-2.0/CMakeLists.txt"
if cmake -S "$work/wants-2.0" -B "$work/build-2.0" -DCMAKE_PREFIX_PATH="$work/installed" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null 2>&1; then
  echo "FAIL: find_package(hwid 2.0) accepted version 1" >&2
  exit 1
fi
echo "PASS"
