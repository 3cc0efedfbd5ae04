#!/usr/bin/env bash
# Installs with apt-get whichever of the given Debian packages are missing.
# A package named NAME:i386 also enables the i386 architecture first. The
# package manager's output goes to a log; one line says what is installed
# and how much is downloaded, and a failure shows the log's last lines.
set -euo pipefail
log=${TMPDIR:-/tmp}/hwid-setup.log

missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]}" >&2
  echo "install them as root (this script, or apt-get install), then run again" >&2
  exit 1
fi

# quietly COMMAND...: runs COMMAND with its output in the log.
quietly() {
  if ! "$@" >>"$log" 2>&1; then
    echo "set-up failed installing: ${missing[*]}" >&2
    echo "last lines of $log:" >&2
    tail -n 25 "$log" >&2
    exit 1
  fi
}

: >"$log"
export DEBIAN_FRONTEND=noninteractive
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  quietly dpkg --add-architecture i386
fi
echo "updating the package lists (log: $log)"
quietly apt-get update
uris=$(apt-get install --print-uris -qq "${missing[@]}" 2>>"$log") || quietly false
download=$(awk '{ total += $3 }
  END { if (total < 1e6) printf "%.0f kB", total / 1e3; else printf "%.0f MB", total / 1e6 }' <<<"$uris")
echo "installing ${#missing[@]} packages and what they need, $download to download: ${missing[*]}"
quietly apt-get install -y -q "${missing[@]}"
