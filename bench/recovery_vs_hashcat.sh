#!/usr/bin/env bash
# Full passes over all 2^32 seeds, timed in the same run: machine-id
# recover with one target and with 20,000, and hashcat (when installed) on
# exactly the same keyspace with one target. Every target is an MD5 that no
# seed text has, so each pass is complete.
#   recovery_vs_hashcat.sh MACHINE_ID [THREADS]
set -euo pipefail
machine_id=$1
threads=${2:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/hwid-recovery-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

target=$(printf 'not a seed text' | md5sum | cut -c1-32)
# Random digests: that a seed text has one of them is as likely as an MD5
# collision, and the pass shows that none has.
od -An -tx1 -v -N $((16 * 19999)) /dev/urandom | tr -d ' \n' | fold -w32 >"$work/many"
echo >>"$work/many"
echo "$target" >>"$work/many"

# timed COMMAND...: runs COMMAND; leaves its wall time in seconds in
# $elapsed and its exit status in $status.
timed() {
  local start end
  start=$(date +%s.%N)
  status=0
  "$@" >"$work/out" 2>"$work/err" || status=$?
  end=$(date +%s.%N)
  elapsed=$(echo "$end - $start" | bc)
}

timed "$machine_id" recover --threads "$threads" "$target"
ours_one=$elapsed
[ "$status" -eq 1 ] && [ "$(cat "$work/out")" = "$target -" ] ||
  { echo "machine-id recover failed (status $status): $(cat "$work/out" "$work/err")" >&2; exit 1; }
timed "$machine_id" recover --threads "$threads" - <"$work/many"
ours_many=$elapsed
[ "$status" -eq 1 ] && [ "$(grep -c ' -$' "$work/out")" -eq 20000 ] ||
  { echo "machine-id recover of 20,000 failed (status $status)" >&2; exit 1; }

printf '%-38s %8s\n' "full pass over 2^32 seeds" seconds
printf '%-38s %8.2f\n' "machine-id recover, 1 target" "$ours_one" \
  "machine-id recover, 20,000 targets" "$ours_many"
printf '%-38s %8.2f\n' "20,000 targets / 1 target" "$(echo "$ours_many / $ours_one" | bc -l)"

if ! command -v hashcat >/dev/null; then
  echo "hashcat: not installed (apt-get install hashcat pocl-opencl-icd), so not compared"
  exit 0
fi
"$here/seed_masks.sh" >"$work/seeds.hcmask"
echo "$target" >"$work/hash"
# On the CPU through OpenCL, optimised kernels, nothing kept between runs.
hashcat_run() {
  hashcat -m 0 -a 3 -O -D 1 --potfile-disable --restore-disable --quiet \
    --session "hwid-bench-$$" "$work/hash" "$1"
}
# The warm-up builds and caches the kernels; it is not timed.
hashcat_run '?d?d?d' >/dev/null 2>&1 || true
timed hashcat_run "$work/seeds.hcmask"
theirs=$elapsed
# Status 1: the keyspace was exhausted without a match, as it must be.
[ "$status" -eq 1 ] || { echo "hashcat failed (status $status): $(cat "$work/err")" >&2; exit 1; }
printf '%-38s %8.2f\n' "hashcat -O on the CPU, 1 target" "$theirs"
printf '%-38s %8.2f\n' "hashcat / machine-id, 1 target" "$(echo "$theirs / $ours_one" | bc -l)"
