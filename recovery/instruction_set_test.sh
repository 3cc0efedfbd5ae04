#!/usr/bin/env bash
# A CPU without AVX2 or AVX-512 must be able to run the program: only the
# kernels for those instruction sets (and their own inlined helpers) may
# hold AVX instructions, and the program calls them only after asking the
# CPU.
#   instruction_set_test.sh OBJDUMP PROGRAM
set -euo pipefail
objdump=$1
program=$2

listing=$("$objdump" -d -C --no-show-raw-insn "$program")
grep -q 'search_block_avx512' <<<"$listing" ||
  { echo "FAIL: no AVX-512 kernel in $program (stripped?)" >&2; exit 1; }

# Functions with an instruction that is VEX- or EVEX-encoded or uses a
# ymm, zmm or mask register.
offenders=$(awk '
  /^[0-9a-f]+ <.*>:$/ { name = $0; sub(/^[0-9a-f]+ </, "", name); sub(/>:$/, "", name); next }
  /^ +[0-9a-f]+:\t/ {
    split($0, field, "\t"); insn = field[2]
    if (insn ~ /^v/ || insn ~ /%[yz]mm|%k[0-7]/) print name
  }' <<<"$listing" | sort -u |
  grep -v -E 'search_block_avx(2|512)\(|Avx(2|512)Lanes' || true)
if [ -n "$offenders" ]; then
  echo "FAIL: AVX instructions outside the dispatched kernels:" >&2
  echo "$offenders" >&2
  exit 1
fi
echo "PASS"
