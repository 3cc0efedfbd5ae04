#!/usr/bin/env bash
# Checks the shipped hwid.exe as a file: what Windows will load.
#   executable_test.sh OBJDUMP HWID_EXE
set -euo pipefail
objdump=$1
exe=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

headers=$("$objdump" -p "$exe")
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

[ "$("$objdump" -f "$exe" | awk '/file format/ { print $NF }')" = pei-i386 ] ||
  fail "not a 32-bit x86 PE image"
[ "$(field Magic)" = 010b ] || fail "not PE32"
[ "$(field Subsystem)" = 00000003 ] || fail "not the console subsystem"
[ "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" = 6.0 ] ||
  fail "subsystem version is not 6.0"
# The COFF header's TimeDateStamp, 8 bytes into the header that the offset
# at 0x3C points to, is zero.
pe_header=$(od -An -tu4 -j60 -N4 "$exe")
[ "$(od -An -tu4 -j$((pe_header + 8)) -N4 "$exe" | tr -d ' ')" = 0 ] ||
  fail "the image carries a timestamp"

# DYNAMIC_BASE (0x40) and NX_COMPAT (0x100), with the relocations ASLR needs.
dll_characteristics=$((16#$(field DllCharacteristics)))
((dll_characteristics & 0x40)) || fail "no ASLR (DYNAMIC_BASE)"
((dll_characteristics & 0x100)) || fail "no DEP (NX_COMPAT)"
grep -q 'Base Relocation Directory \[\.reloc\]' <<<"$headers" || fail "no relocations"

# Only Windows' own DLLs: no libstdc++, libgcc or winpthread beside it.
imports=$(awk '/DLL Name:/ { print toupper($3) }' <<<"$headers" | sort | tr '\n' ' ')
[ "$imports" = "ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL " ] ||
  fail "imports: $imports"

# The manifest, resource 1 of type RT_MANIFEST (24), asking for elevation.
grep -A3 'Type Table' <<<"$headers" | grep -q 'Entry: ID: 0x000018' ||
  fail "no RT_MANIFEST resource"
grep -A6 'Type Table' <<<"$headers" | grep -q 'Entry: ID: 0x000001,' ||
  fail "the manifest is not resource 1"
grep -aq '<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>' "$exe" ||
  fail "the manifest does not require administrator"

echo "PASS"
