#!/usr/bin/env bash
# Checks the shipped hwid.exe as a file: what Windows will load.
#   executable_test.sh OBJDUMP HWID_EXE VISTA_IMPORTS
set -euo pipefail
objdump=$1
exe=$2
vista_imports=$3

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
[ "$imports" = "ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL " ] ||
  fail "imports: $imports"

# Every imported function exists on Vista (name by name, from the list).
functions=$(awk '/DLL Name:/ { dll = toupper($3) }
  /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/ { print dll, $3 }' <<<"$headers" | sort)
[ -n "$functions" ] || fail "no imported functions found"
newer=$(comm -23 <(echo "$functions") <(grep -v '^#' "$vista_imports" | sort))
[ -z "$newer" ] || fail "imports not known to exist on Windows Vista: $(echo $newer)"

# The shell call is made with COM initialised around it: the code refers
# to CoInitializeEx, ShellExecuteA and CoUninitialize once each, in that
# order. Each is reached through its slot in the import address table:
# ImageBase + the DLL's first thunk + 4 per function before it.
image_base=$((16#$(field ImageBase)))
slots=$(while read -r line; do
  if [[ $line =~ ^[0-9a-f]+[[:space:]]+[0-9a-f]+\ [0-9a-f]+\ [0-9a-f]+\ [0-9a-f]+\ ([0-9a-f]+)$ ]]; then
    thunk=$((16#${BASH_REMATCH[1]}))
    n=0
  elif [[ $line =~ ^[0-9a-f]+[[:space:]]+[0-9]+\ +([A-Za-z_][A-Za-z0-9_]*)$ ]]; then
    printf '%x %s\n' $((image_base + thunk + 4 * n)) "${BASH_REMATCH[1]}"
    n=$((n + 1))
  fi
done <<<"$headers")
slot_of() { awk -v f="$1" '$2 == f { print $1 }' <<<"$slots"; }
references=$("$objdump" -d --no-show-raw-insn "$exe" | awk \
  -v ci="*0x$(slot_of CoInitializeEx)" -v se="*0x$(slot_of ShellExecuteA)" \
  -v cu="*0x$(slot_of CoUninitialize)" '
  $2 == "call" || $2 == "jmp" {
    if ($3 == ci) print "CoInitializeEx"
    if ($3 == se) print "ShellExecuteA"
    if ($3 == cu) print "CoUninitialize" }' | tr '\n' ' ')
[ "$references" = "CoInitializeEx ShellExecuteA CoUninitialize " ] ||
  fail "the shell call is not made between CoInitializeEx and CoUninitialize: $references"

# The manifest, resource 1 of type RT_MANIFEST (24): the entry after the
# type's is its name's.
resource_names=$(grep -A100 'Type Table' <<<"$headers" |
  awk '/Entry: ID: 0x000018,/ { type = 1; next } type && /Entry: ID:/ { print $4; exit }')
[ -n "$resource_names" ] || fail "no RT_MANIFEST resource"
[ "$resource_names" = "0x000001," ] || fail "the manifest is not resource 1: $resource_names"

# The embedded manifest, parsed as XML: Windows refuses to start a program
# whose manifest is malformed.
start=$(LC_ALL=C grep -obUa '<?xml version' "$exe" | head -1 | cut -d: -f1)
end=$(LC_ALL=C grep -obUa '</assembly>' "$exe" | head -1 | cut -d: -f1)
[ -n "$start" ] && [ -n "$end" ] || fail "no manifest text in the image"
manifest=$(dd if="$exe" bs=1 skip="$start" count=$((end - start + 11)) status=none)
xmllint --noout - <<<"$manifest" || fail "the embedded manifest is not well-formed XML"
level_of() {
  xmllint --xpath "string(//*[local-name()='requestedExecutionLevel']/@$1)" - <<<"$manifest"
}
[ "$(level_of level)" = requireAdministrator ] || fail "execution level: $(level_of level)"
[ "$(level_of uiAccess)" = false ] || fail "uiAccess: $(level_of uiAccess)"

echo "PASS"
