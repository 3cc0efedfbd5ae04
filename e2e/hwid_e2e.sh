#!/usr/bin/env bash
# End-to-end tests of the shipped hwid.exe under Wine, one scenario a call:
#   hwid_e2e.sh prepare|SCENARIO|cleanup BIN_DIR WORK_DIR
# "prepare" makes the base prefix that every scenario copies: a booted Wine
# prefix whose shell runs shell_recorder.exe for a text file's verbs. Each
# scenario then runs in its own copy, as a machine whose user name, computer
# name and C: serial number it sets, and checks what hwid.exe left behind
# against values computed here, apart from the project's code. A scenario's
# copy is removed when it passes and kept when it fails; "cleanup" removes
# the base prefix.
set -euo pipefail

scenario=$1
bin_dir=$2
work_dir=$3

if [ "$scenario" = cleanup ]; then
  rm -rf "$work_dir"
  exit 0
fi

# skip REASON: the scenario cannot run on this machine; CTest shows it as
# skipped (77), never as passed.
skip() {
  echo "SKIPPED: $*"
  exit 77
}

# Where Wine cannot run 32-bit programs at all.
"$(dirname "$0")/../cmake/wine-probe.sh" || exit

# Each machine gets its own host name, in a UTS namespace of its own: as
# root, or else inside an unprivileged user namespace where the kernel
# allows one. There the machine's programs and its wineserver run as root
# of a user namespace (in_user_namespace), which Wine takes for its user.
new_uts=(unshare -u)
in_user_namespace=()
if [ "$(id -u)" -ne 0 ]; then
  if unshare -r -u true 2>/dev/null; then
    new_uts=(unshare -r -u)
    in_user_namespace=(unshare -r)
  else
    skip "setting a machine's host name needs root or unprivileged user namespaces (unshare -r -u), and neither is available"
  fi
elif ! unshare -u true 2>/dev/null; then
  skip "setting a machine's host name needs the right to create UTS namespaces (unshare -u), which this container lacks"
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
base_prefix=$work_dir/base-prefix
scenario_dir=$work_dir/$scenario
prefix=$scenario_dir/prefix
drive_c=$prefix/drive_c
# Root ignores Unix permissions and so read-only files; scenarios that need
# them run as an account of their own, made for the run and removed after.
unprivileged_account=""
as_account=()
# Wine keeps its server sockets in a directory under TMPDIR that must
# belong to the account running it; a short path, as socket paths are.
wine_tmp=$(mktemp -d /tmp/hwid-e2e.XXXXXX)
holder=""
passed=false

# On every way out: end the helpers and the machine's wineserver, remove
# the account, and remove the machine if the scenario passed.
finish() {
  set +e
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  if [ "$scenario" = prepare ]; then
    WINEPREFIX=$base_prefix wineserver -k 2>/dev/null
  elif [ -d "$prefix" ]; then
    wineserver_of_machine -k 2>/dev/null
    wineserver_of_machine -w 2>/dev/null
  fi
  if [ -n "$unprivileged_account" ]; then
    pkill -KILL -u "$unprivileged_account" 2>/dev/null
    userdel "$unprivileged_account" ||
      echo "could not remove the account $unprivileged_account; userdel it by hand" >&2
  fi
  if $passed; then
    rm -rf "$wine_tmp"
    [ "$scenario" = prepare ] || rm -rf "$scenario_dir"
  elif [ -d "$prefix" ]; then
    echo "this scenario's machine is kept for inspection in $scenario_dir" >&2
  else
    rm -rf "$wine_tmp"
  fi
  return 0
}
trap finish EXIT

fail() {
  echo "FAIL ($scenario): $*" >&2
  exit 1
}

# What the shell recorder logs when the shell opens the report with "open".
shell_open_line='"C:\shell_recorder.exe" open "C:\HWID.txt"'

# The report line for a seed text, without its line end: MD5 by md5sum.
report_line() {
  printf 'Your HWID : %s' "$(printf '%s' "$1" | md5sum | cut -c1-32)"
}

# write_lines FILE LINE...: each LINE and CR LF, as the report has them.
write_lines() {
  local file=$1
  shift
  printf '%s\r\n' "$@" >"$file"
}

prepare() {
  rm -rf "$base_prefix"
  mkdir -p "$work_dir"
  export WINEPREFIX=$base_prefix
  wineboot -i >/dev/null 2>&1
  cp "$bin_dir/hwid.exe" "$bin_dir/shell_recorder.exe" "$bin_dir/report_holder.exe" \
    "$base_prefix/drive_c/"
  # "edit" is made the default verb, so that a call without the verb "open"
  # would show as "edit" in the log.
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
  wine reg add 'HKCR\txtfile\shell' /ve /d edit /f >/dev/null 2>&1
  local verb
  for verb in open edit; do
    wine reg add "HKCR\\txtfile\\shell\\$verb\\command" /ve \
      /d "\"C:\\shell_recorder.exe\" $verb \"%1\"" /f >/dev/null 2>&1
  done
  wineserver -w  # the registry is saved when the server ends
  touch "$base_prefix/.prepared"
}

# new_machine SERIAL [unprivileged]: a fresh copy of the base prefix with
# C:'s serial number SERIAL (hex), owned by whoever will run in it. The
# unprivileged account's machine lives under wine_tmp, which it can reach
# wherever the build tree is.
new_machine() {
  [ -f "$base_prefix/.prepared" ] || fail "no prepared prefix in $base_prefix"
  if [ "${2:-}" = unprivileged ]; then
    scenario_dir=$wine_tmp/machine
    prefix=$scenario_dir/prefix
    drive_c=$prefix/drive_c
  fi
  rm -rf "$scenario_dir"
  mkdir -p "$scenario_dir"
  cp -a "$base_prefix" "$prefix"
  printf '%s\n' "$1" >"$drive_c/.windows-serial"
  if [ "${2:-}" = unprivileged ]; then
    unprivileged_account=hwid-e2e-$$
    useradd --system --no-create-home --shell /usr/sbin/nologin "$unprivileged_account"
    chown -R "$unprivileged_account:" "$wine_tmp"
    as_account=(setpriv --reuid="$(id -u "$unprivileged_account")"
      --regid="$(id -g "$unprivileged_account")" --clear-groups)
  fi
}

# in_machine USER COMPUTER COMMAND...: runs COMMAND in this machine's
# prefix with host name COMPUTER; a wineserver it starts takes USER as the
# logon name.
in_machine() {
  local user=$1 computer=$2
  shift 2
  env USER="$user" HOME="$scenario_dir" WINEPREFIX="$prefix" TMPDIR="$wine_tmp" \
    "${new_uts[@]}" sh -c 'hostname "$1" && shift && exec "$@"' sh "$computer" \
    "${as_account[@]}" "$@"
}

# wineserver_of_machine ARGS...: this machine's wineserver, as its account.
wineserver_of_machine() {
  env HOME="$scenario_dir" WINEPREFIX="$prefix" TMPDIR="$wine_tmp" \
    "${in_user_namespace[@]}" "${as_account[@]}" wineserver "$@"
}

# Ends the machine's wineserver, so that the next start reads USER anew.
stop_machine() {
  wineserver_of_machine -k 2>/dev/null || true
  wineserver_of_machine -w
}

# start_hwid USER COMPUTER [ARGS...]: one run of hwid.exe, until it exits.
# Sets status; its stdout goes to $scenario_dir/stdout.
start_hwid() {
  local user=$1 computer=$2
  shift 2
  status=0
  in_machine "$user" "$computer" wine 'C:\hwid.exe' "$@" >"$scenario_dir/stdout" ||
    status=$?
}

# Waits for every program of the machine to end, the ones the shell
# started among them.
settle() { wineserver_of_machine -w; }

run_hwid() {
  start_hwid "$@"
  settle
}

shell_calls() { tr -d '\r' <"$drive_c/shell-calls.log" 2>/dev/null || true; }

# expect_report LINE...: the report holds exactly these lines.
expect_report() {
  local expected=$scenario_dir/expected-report
  write_lines "$expected" "$@"
  [ -f "$drive_c/HWID.txt" ] || fail "no report; expected: $*"
  cmp -s "$expected" "$drive_c/HWID.txt" ||
    fail "report is [$(od -c "$drive_c/HWID.txt" | head -5)], expected [$(od -c "$expected" | head -5)]"
}

expect_no_report() {
  [ ! -e "$drive_c/HWID.txt" ] || fail "a report is left: $(cat "$drive_c/HWID.txt")"
}

expect_shell_calls() {
  [ "$(shell_calls)" = "$1" ] || fail "shell calls: [$(shell_calls)], expected: [$1]"
}

expect_quiet_success() {
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ ! -s "$scenario_dir/stdout" ] || fail "printed: $(cat "$scenario_dir/stdout")"
}

# The worked example, seed text 438859677.
worked_example() {
  new_machine 1a2b3c4d
  run_hwid dev01 PC-4F
  expect_quiet_success
  expect_report "$(report_line 438859677)"
  [ "$(wc -c <"$drive_c/HWID.txt")" -eq 46 ] || fail "report is not 46 bytes"
  expect_shell_calls "$shell_open_line"
}

arguments_ignored() {
  new_machine 1a2b3c4d
  run_hwid dev01 PC-4F --help /? "C:\\other.txt"
  expect_quiet_success
  expect_report "$(report_line 438859677)"
  expect_shell_calls "$shell_open_line"
}

# 255 characters do not fit the 255 offered with the terminator: the query
# fails after the stale report is deleted. 254 fit.
long_user_name() {
  new_machine 1a2b3c4d
  write_lines "$drive_c/HWID.txt" stale
  run_hwid "$(printf 'u%.0s' {1..255})" PC-4F
  expect_quiet_success
  expect_no_report
  expect_shell_calls ""

  stop_machine
  run_hwid "$(printf 'u%.0s' {1..254})" PC-4F
  expect_quiet_success
  # uuuuuuuu folds to 0xAAAAAAA9; + 0xFFF4914F + 0x1A2B3C4D = 0xC4CA7845.
  expect_report "$(report_line -993363899)"
  expect_shell_calls "$shell_open_line"
}

two_runs() {
  new_machine 1a2b3c4d
  run_hwid dev01 PC-4F
  run_hwid dev01 PC-4F
  expect_quiet_success
  expect_report "$(report_line 438859677)"
  expect_shell_calls "$shell_open_line"$'\n'"$shell_open_line"
}

# A report that can be neither deleted nor written stays as it is and is
# not shown as this run's.
read_only_stale_report() {
  [ "$(id -u)" -eq 0 ] ||
    skip "running hwid.exe as a second account, whose file permissions count, needs root"
  new_machine 1a2b3c4d unprivileged
  local stale
  stale="$(report_line 0)"
  write_lines "$drive_c/HWID.txt" "$stale"
  chmod a-w "$drive_c/HWID.txt"
  run_hwid dev01 PC-4F
  expect_quiet_success
  expect_report "$stale"
  expect_shell_calls ""

  # The same account with the file writable again: the run works.
  chmod u+w "$drive_c/HWID.txt"
  run_hwid dev01 PC-4F
  expect_report "$(report_line 438859677)"
  expect_shell_calls "$shell_open_line"
}

# A report another process holds open without delete sharing survives the
# deletion; this run's line is appended after its content.
held_open_stale_report() {
  new_machine 1a2b3c4d
  local stale
  stale="$(report_line 0)"
  write_lines "$drive_c/HWID.txt" "$stale"
  in_machine dev01 PC-4F wine 'C:\report_holder.exe' &
  holder=$!
  for _ in $(seq 300); do
    [ -e "$drive_c/holder-ready" ] && break
    sleep 0.1
  done
  [ -e "$drive_c/holder-ready" ] || fail "the holder did not open the report"
  start_hwid dev01 PC-4F
  touch "$drive_c/holder-release"
  wait "$holder" || fail "the holder failed"
  holder=""
  settle
  expect_quiet_success
  expect_report "$stale" "$(report_line 438859677)"
  expect_shell_calls "$shell_open_line"
}

case "$scenario" in
  prepare | worked_example | arguments_ignored | long_user_name | two_runs | \
    read_only_stale_report | held_open_stale_report) "$scenario" ;;
  *) fail "unknown scenario" ;;
esac
passed=true
echo "PASS ($scenario)"
