#!/usr/bin/env bash
# machine-id must not exit 0 when its output was lost: with standard output
# on a full device or closed, every invocation that writes there exits 3
# and says so on stderr.
#   lost_output_test.sh MACHINE_ID
set -uo pipefail
machine_id=$1
[ -w /dev/full ] || { echo "SKIPPED: no /dev/full here"; exit 77; }

invocations=(
  "--user dev01 --computer PC-4F --serial 1A2B-3C4D"
  "--user dev01 --computer PC-4F --serial 1A2B-3C4D --explain"
  "--help"
  "recover --help"
  "recover 6eb887126d24e8f1cd8ad5033482c781"
)
failed=0
for args in "${invocations[@]}"; do
  for where in full closed; do
    status=0
    # shellcheck disable=SC2086 # the arguments are words
    if [ "$where" = full ]; then
      err=$("$machine_id" $args 2>&1 >/dev/full) || status=$?
    else
      err=$("$machine_id" $args 2>&1 >&-) || status=$?
    fi
    if [ "$status" -ne 3 ] || ! grep -q '^machine-id: could not write the output$' <<<"$err"; then
      echo "FAIL: machine-id $args, stdout $where: status $status, stderr: $err" >&2
      failed=1
    fi
  done
done
[ "$failed" -eq 0 ] && echo "PASS"
