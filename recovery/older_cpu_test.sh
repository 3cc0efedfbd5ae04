#!/usr/bin/env bash
# The recovery tests on emulated CPUs that lack the wider instruction sets:
# Westmere (SSE4.2, no AVX) and Haswell (AVX2, no AVX-512). The program must
# choose only engines the CPU has, and run without an illegal instruction.
#   older_cpu_test.sh RECOVERY_TESTS
set -uo pipefail
tests=$1
command -v qemu-x86_64 >/dev/null ||
  { echo "SKIPPED: qemu-x86_64 (Debian's qemu-user) is not installed"; exit 77; }

# run_on CPU ENGINES_EXPECTED ENGINES_ABSENT [TEST_ARGS...]
run_on() {
  local cpu=$1 expected=$2 absent=$3 output status=0 engine
  shift 3
  output=$(qemu-x86_64 -cpu "$cpu" "$tests" "$@" 2>&1) || status=$?
  if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \]' <<<"$output"; then
    echo "FAIL on $cpu: status $status" >&2
    tail -20 <<<"$output" >&2
    exit 1
  fi
  for engine in $expected; do
    grep -q "^\[       OK \] EverySupportedEngine/EngineTest\.[A-Za-z]*/$engine " <<<"$output" ||
      { echo "FAIL on $cpu: the $engine engine did not run" >&2; exit 1; }
  done
  for engine in $absent; do
    ! grep -q "EngineTest\.[A-Za-z]*/$engine " <<<"$output" ||
      { echo "FAIL on $cpu: the $engine engine ran" >&2; exit 1; }
  done
  echo "$cpu: ran $expected"
}

run_on Westmere "sse2 portable" "avx2 avx512"
# QEMU 7.2 (Debian 12) gathers zeros for VPGATHERDD whose base register is
# r8-r15, which the AVX2 kernel's bitmap lookup can be compiled to: there
# the bitmap-mode case of the AVX2 engine is left out. Real AVX2 CPUs run it
# in the native tests.
run_on Haswell "avx2 sse2 portable" "avx512" \
  --gtest_filter='-EverySupportedEngine/EngineTest.FindsEveryPlantedSeedAtTheBoundaries/avx2'

echo "PASS"
