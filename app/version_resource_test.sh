#!/usr/bin/env bash
# Checks a Windows executable's VERSIONINFO resource, read from the built
# file: the fixed version numbers and the strings Explorer shows.
#   version_resource_test.sh EXE VERSION ORIGINAL_FILENAME
set -euo pipefail
exe=$1
version=$2
file_name=$3

fail() {
  echo "FAIL ($file_name): $*" >&2
  exit 1
}

# VS_FIXEDFILEINFO starts with the signature 0xFEEF04BD; the file version
# follows it as (major << 16 | minor, patch << 16 | build), and the
# product version after that.
offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$exe" | head -1 | cut -d: -f1)
[ -n "$offset" ] || fail "no VS_FIXEDFILEINFO"
IFS=. read -r major minor patch <<<"$version"
expected="$(((major << 16) | minor)) $((patch << 16)) $(((major << 16) | minor)) $((patch << 16))"
fixed=$(od -An -tu4 -j$((offset + 8)) -N16 "$exe" | xargs)
[ "$fixed" = "$expected" ] || fail "fixed versions $fixed, expected $expected"

# The string table: each key followed by its value (UTF-16 in the file).
strings=$(strings -el "$exe")
value_of() { grep -A1 -x "$1" <<<"$strings" | sed -n 2p; }
grep -qx 000004b0 <<<"$strings" || fail "no language-neutral Unicode string block (000004b0)"
[ "$(value_of FileVersion)" = "$version" ] || fail "FileVersion: $(value_of FileVersion)"
[ "$(value_of ProductVersion)" = "$version" ] || fail "ProductVersion: $(value_of ProductVersion)"
[ "$(value_of ProductName)" = HWID ] || fail "ProductName: $(value_of ProductName)"
[ "$(value_of OriginalFilename)" = "$file_name" ] ||
  fail "OriginalFilename: $(value_of OriginalFilename)"
[ "$(value_of InternalName)" = "${file_name%.exe}" ] ||
  fail "InternalName: $(value_of InternalName)"
[ -n "$(value_of FileDescription)" ] || fail "no FileDescription"
value_of LegalCopyright | grep -q 'MIT License' || fail "LegalCopyright: $(value_of LegalCopyright)"
echo "PASS"
