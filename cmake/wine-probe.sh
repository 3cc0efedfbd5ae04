#!/bin/sh
# Exits 0 when Wine can run 32-bit Windows programs here. Otherwise prints
# why and exits 77, which the tests treat as "skipped": some virtual
# machines cannot execute 32-bit x86 code at all, and there Wine's i386
# loader fails with "Exec format error" however it is installed.
loader=/usr/lib/wine/wine
[ -x "$loader" ] || exit 0  # not Debian's layout: let wine itself decide
status=0
output=$("$loader" --version 2>&1) || status=$?
if [ "$status" -eq 126 ] && printf '%s' "$output" | grep -q 'Exec format error'; then
  echo "SKIPPED: this machine cannot execute 32-bit x86 programs ($loader: Exec format error), so Wine cannot run the Windows build here"
  exit 77
fi
exit 0
