#!/bin/sh
# Runs a Windows program under Wine, quietly, in a prefix of this user's
# that is prepared on first use (HWID_WINEPREFIX overrides where).
# Exits 77 (skipped) where Wine cannot run 32-bit programs at all.
set -e
"$(dirname "$0")/wine-probe.sh" || exit
WINEPREFIX="${HWID_WINEPREFIX:-${TMPDIR:-/tmp}/hwid-wine-$(id -u)}"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Tests start in parallel; only one of them makes the prefix.
  flock "$WINEPREFIX.lock" sh -c \
    '[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i && wineserver -w; } >/dev/null 2>&1'
fi
exec wine "$@"
