#!/usr/bin/env bash
# Passes only when COMMAND exits with STATUS and its output (stdout and
# stderr together) has a line matching the extended REGEX: a verdict printed
# by a program that then crashed, or a failure for the wrong reason, fails.
#   expect.sh STATUS REGEX COMMAND...
# Status 77 from COMMAND means it cannot run here and is passed on, for
# CTest's SKIP_RETURN_CODE.
set -uo pipefail
expected_status=$1
pattern=$2
shift 2

output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -eq 77 ] && [ "$expected_status" -ne 77 ]; then
  exit 77
fi
if [ "$status" -ne "$expected_status" ]; then
  echo "FAIL: exit status $status, expected $expected_status" >&2
  exit 1
fi
if ! grep -Eq -- "$pattern" <<<"$output"; then
  echo "FAIL: no line of the output matches: $pattern" >&2
  exit 1
fi
