#!/usr/bin/env bash
# A configure that cannot find its compiler must stop before it poisons the
# tree, and a tree poisoned anyway must refuse to build: never a Release
# build without optimisation.
#   poisoned_tree_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
work=$(mktemp -d /tmp/hwid-poisoned.XXXXXX)
trap 'rm -rf "$work"' EXIT
quick=(-DCMAKE_BUILD_TYPE=Release -DHWID_BUILD_TESTS=OFF -DHWID_BUILD_BENCHMARKS=OFF)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# configure TREE ARGS...: configures; its output is in TREE.log.
configure() {
  local tree=$1
  shift
  cmake -S "$source_dir" -B "$tree" "${quick[@]}" "$@" >"$tree.log" 2>&1
}

# says TREE TEXT: the configure's messages, which CMake wraps, say TEXT.
says() { tr -s ' \n' '  ' <"$1.log" | grep -qF -- "$2"; }

# expect_optimised TREE: the tree's release flags optimise.
expect_optimised() {
  grep -q '^CMAKE_CXX_FLAGS_RELEASE:STRING=.*-O' "$1/CMakeCache.txt" ||
    fail "$1: release flags: $(grep '^CMAKE_CXX_FLAGS_RELEASE:' "$1/CMakeCache.txt")"
}

# Native: no compiler, then the compiler installed.
tree=$work/native
CXX=hwid-missing-compiler configure "$tree" && fail "configured without a compiler"
says "$tree" 'apt-get install g++,' || fail "no package named: $(tail -5 "$tree.log")"
configure "$tree" || fail "second configure: $(tail -5 "$tree.log")"
expect_optimised "$tree"

# A tree whose cache lost its release flags stops, and says how to recover.
tree=$work/poisoned
configure "$tree" -DCMAKE_CXX_FLAGS_RELEASE= && fail "configured with empty release flags"
says "$tree" 'cmake --fresh --preset NAME' || fail "no way out shown: $(tail -5 "$tree.log")"

# The cross build: no cross compiler, then the cross compiler installed.
if command -v i686-w64-mingw32-g++-posix >/dev/null; then
  tree=$work/windows
  toolchain=(-DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-i686.cmake")
  configure "$tree" "${toolchain[@]}" -DHWID_MINGW_TRIPLET=hwid-missing &&
    fail "configured without the cross compiler"
  says "$tree" 'apt-get install g++-mingw-w64-i686' ||
    fail "no package named: $(tail -5 "$tree.log")"
  configure "$tree" "${toolchain[@]}" -UHWID_MINGW_TRIPLET ||
    fail "second configure: $(tail -5 "$tree.log")"
  expect_optimised "$tree"
else
  echo "the cross compiler is not installed: its half was not checked"
fi
echo "PASS"
