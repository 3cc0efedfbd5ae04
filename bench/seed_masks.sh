#!/usr/bin/env bash
# Prints hashcat masks (.hcmask lines) that cover exactly the 2^32 seed
# texts: "%d" of every signed 32-bit value, each once.
set -euo pipefail

# Numbers of `digits` digits without a leading zero, after `sign`.
all_of_length() {
  local sign=$1 digits=$2 tail=""
  for ((k = 1; k < digits; k++)); do tail+="?d"; done
  echo "123456789,$sign?1$tail"
}

# Ten-digit numbers from 1000000000 up to `bound`, after `sign`: for each
# position, the bound's digits before it, a smaller digit there, and any
# digits after; then the bound itself.
up_to_bound() {
  local sign=$1 bound=$2 prefix="" i digit low charset tail
  for ((i = 0; i < 10; i++)); do
    digit=${bound:i:1}
    low=$((i == 0 ? 1 : 0))
    if ((digit > low)); then
      charset=$(seq -s '' "$low" $((digit - 1)))
      tail=""
      for ((k = i + 1; k < 10; k++)); do tail+="?d"; done
      echo "$charset,$sign$prefix?1$tail"
    fi
    prefix+=$digit
  done
  echo "$sign$bound"
}

echo "?d"  # 0 to 9
for ((digits = 2; digits <= 9; digits++)); do all_of_length "" "$digits"; done
up_to_bound "" 2147483647
for ((digits = 1; digits <= 9; digits++)); do all_of_length "-" "$digits"; done
up_to_bound "-" 2147483648
