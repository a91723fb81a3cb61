#!/usr/bin/env bash
# rovantctl.exe --printer spooler:NAME against rovant-monitor-sim.exe, two
# processes under Wine sharing the named mailbox mapping and mutex: transfer,
# read, factory default and list printing end to end, then the monitor's
# faults (status 1, status 3, silence, a mutex never released), each giving
# the no-response message and exit status 1.
# Usage: mailbox_end_to_end.sh WINE_RUN MONITOR ROVANTCTL WORKDIR [quick|slow]
#   quick: the operations and the answered faults; slow: the two 30 s bounds.
set -u
wine_run=$1 monitor=$2 ctl=$3 work=$4 part=${5:-quick}
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
pid=
fail() {
  echo "FAIL: $*" >&2
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  exit 1
}
printer='spooler:Vek HX320 test'

# Starts the monitor with the given options and waits for its "monitoring" line.
start_monitor() {
  local name=$1
  shift
  "$wine_run" "$monitor" --idle-exit 120 "$@" >"$name.out" 2>"$name.err" &
  pid=$!
  for _ in $(seq 100); do
    grep -q '^monitoring ' "$name.out" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || fail "$name: the monitor stopped: $(cat "$name.err")"
    sleep 0.1
  done
  fail "$name: the monitor did not open the mailbox"
}
stop_monitor() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
}
# ctl NAME EXPECTED-EXIT ARGS...: runs rovantctl.exe, output in NAME.out/.err.
ctl() {
  local name=$1 expected=$2
  shift 2
  timeout 120 "$wine_run" "$ctl" "$@" >"$name.out" 2>"$name.err"
  local rc=$?
  [[ $rc == "$expected" ]] || fail "$name: exit $rc, expected $expected: $(cat "$name.err")"
}
# The no-response path of a failed operation: the message, exit status 1.
expect_no_response() {
  grep -q 'There is no response from Printer.' "$1.err" || fail "$1: no no-response message: $(cat "$1.err")"
}

"$ctl" --help >/dev/null 2>&1 || true
ctl defaults 0 defaults -o d.fom
ctl set 0 set d.fom 'MENU1.PITCH=12 CPI' 'CONFIG.LOCK=SETUP'
ctl factory 0 defaults -o factory.fom

if [[ $part == quick ]]; then
  # Six jobs: transfer (its write and its read back), read, default (the same), list.
  start_monitor monitor --state state.fom --paper paper.txt --max-jobs 6
  ctl transfer 0 transfer --printer "$printer" d.fom
  grep -q 'the spooler has no printer' transfer.err || fail "transfer: no note on the unknown printer"
  cmp -s d.fom state.fom || fail "the monitor's memory does not hold the transfer"
  ctl read 0 read --printer "$printer" -o r.fom
  cmp -s d.fom r.fom || fail "the settings read back differ from those sent"
  grep -q 'MENU1 *PITCH *"12 CPI' read.out || fail "read output lacks MENU1 PITCH 12 CPI"
  ctl default 0 default --printer "$printer"
  cmp -s factory.fom state.fom || fail "the factory default did not reach the monitor's memory"
  grep -q 'MENU1 *PITCH *"10 CPI' default.out || fail "default did not print the settings read back"
  ctl list 0 list --printer "$printer"
  grep -q 'prints its setting list on its own paper' list.err || fail "list: $(cat list.err)"
  [[ -s paper.txt ]] || fail "the monitor's printer printed no setting list"
  wait "$pid" || fail "the monitor exited with $?"
  pid=
  [[ $(grep -c '^job [0-9]* ended' monitor.out) == 6 ]] || fail "jobs: $(cat monitor.out)"

  # A fleet: three entries behind the one spooler mailbox, worked one at a time, and an
  # in-process simulator. Reading takes three jobs; applying a profile to the factory
  # settings writes once (read, transfer, read back) and finds the other two unchanged.
  start_monitor fleet-monitor --state state.fom --max-jobs 8
  {
    echo "printers:"
    for name in a b c; do echo "  - {name: $name, printer: \"$printer\"}"; done
    echo "  - {name: s, printer: \"sim:HX320\"}"
  } >inventory.yaml
  echo 'MENU1.PITCH: 15 CPI' >profile.yaml
  ctl fleet-read 0 fleet read --inventory inventory.yaml --json --out fleet
  [[ $(grep -c '"result":"read"' fleet-read.out) == 4 && -s fleet/c.fom ]] ||
    fail "fleet read: $(cat fleet-read.out fleet-read.err)"
  ctl fleet-apply 0 fleet apply --inventory inventory.yaml profile.yaml --json --audit audit.jsonl
  [[ $(grep -c '"result":"applied"' fleet-apply.out) == 2 &&
    $(grep -c '"result":"unchanged"' fleet-apply.out) == 2 ]] ||
    fail "fleet apply: $(cat fleet-apply.out fleet-apply.err)"
  [[ $(wc -l <audit.jsonl) == 2 ]] || fail "audit log: $(cat audit.jsonl)"
  wait "$pid" || fail "the fleet's monitor exited with $?"
  pid=
  [[ $(grep -c '^job [0-9]* ended' fleet-monitor.out) == 8 ]] || fail "jobs: $(cat fleet-monitor.out)"

  # Status 1 for the second exchange (the query after the online sequence).
  start_monitor status1 --fail-exchange 2
  ctl read-status1 1 read --printer "$printer"
  expect_no_response read-status1
  grep -q 'language monitor reported that the printer port failed' read-status1.err ||
    fail "read-status1: no explanation"
  stop_monitor

  # A status the program does not know: the operation still ends as failed.
  start_monitor status3 --status-3
  ctl read-status3 1 read --printer "$printer"
  expect_no_response read-status3
  stop_monitor

  # The printer behind the monitor refuses the transfer's third send.
  start_monitor refuse --state state2.fom --refuse-send 3
  ctl transfer-refused 1 transfer --printer "$printer" d.fom
  expect_no_response transfer-refused
  stop_monitor
  if [[ -e state2.fom ]] && cmp -s d.fom state2.fom; then fail "a refused transfer was stored"; fi
else
  # A monitor that never answers, and one that keeps the mutex: each exchange
  # gives up after its bound and the operation fails as with no printer.
  start_monitor silent --silent
  SECONDS=0
  ctl read-silent 1 read --printer "$printer"
  expect_no_response read-silent
  grep -q 'language monitor did not answer within 30 s' read-silent.err ||
    fail "read-silent: no explanation"
  ((SECONDS < 100)) || fail "the silent monitor held the read for $SECONDS s"
  stop_monitor

  start_monitor hold --hold-mutex
  grep -q '^holding the mailbox mutex' hold.out || sleep 1
  ctl read-held 1 read --printer "$printer"
  expect_no_response read-held
  grep -q "mutex stayed held for 30 s" read-held.err || fail "read-held: no explanation"
  stop_monitor
fi
echo "mailbox end to end ($part): ok"
