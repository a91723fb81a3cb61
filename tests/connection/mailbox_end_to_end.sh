#!/usr/bin/env bash
# rovantctl.exe --printer spooler:NAME against rovant-monitor-sim.exe, two processes under Wine
# sharing the named mailbox mapping and mutex. quick: transfer, read, factory default, list
# printing and a fleet end to end, then the monitor's answered faults; slow: the two 30 s bounds
# (silence, a mutex never released). Each fault gives the no-response message and exit status 1.
# Usage: mailbox_end_to_end.sh WINE_RUN MONITOR ROVANTCTL WORKDIR [quick|slow]
set -u
wine_run=$1 monitor=$2 ctl=$3 work=$4 part=${5:-quick}
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$work"
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null' EXIT  # a monitor left running by a failed check
printer='spooler:Vek HX320 test'

# start_monitor NAME OPTION...: starts the monitor and waits for its "monitoring" line.
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
# ended NAME JOBS: the monitor ended by itself after its jobs.
ended() {
  wait "$pid" || fail "$1 exited with $?"
  pid=
  [[ $(grep -c '^job [0-9]* ended' "$1.out") == "$2" ]] || fail "jobs: $(cat "$1.out")"
}
# ctl NAME EXPECTED-EXIT ARGS...: runs rovantctl.exe, output in NAME.out/.err.
ctl() {
  local name=$1 expected=$2
  shift 2
  timeout 120 "$wine_run" "$ctl" "$@" >"$name.out" 2>"$name.err"
  local rc=$?
  [[ $rc == "$expected" ]] || fail "$name: exit $rc, expected $expected: $(cat "$name.err")"
}
# failing NAME 'MONITOR-OPTIONS' REASON ARGS...: the operation against a faulty monitor ends with
# exit status 1, the no-response message and the reason.
failing() {
  local name=$1 options=$2 reason=$3
  shift 3
  # shellcheck disable=SC2086
  start_monitor "$name-monitor" $options
  [[ $options == --hold-mutex ]] && { grep -q '^holding the mailbox mutex' "$name-monitor.out" || sleep 1; }
  ctl "$name" 1 "$@"
  has "$name.err" 'There is no response from Printer.'
  has "$name.err" "$reason"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
}

"$ctl" --help >/dev/null 2>&1 || true
ctl defaults 0 defaults -o d.fom
ctl set 0 set d.fom 'MENU1.PITCH=12 CPI' 'CONFIG.LOCK=SETUP'
ctl factory 0 defaults -o factory.fom

if [[ $part == quick ]]; then
  # Six jobs: transfer (its write and its read back), read, default (the same), list.
  start_monitor monitor --state state.fom --paper paper.txt --max-jobs 6
  ctl transfer 0 transfer --printer "$printer" d.fom
  has transfer.err 'the spooler has no printer'
  cmp -s d.fom state.fom || fail "the monitor's memory does not hold the transfer"
  ctl read 0 read --printer "$printer" -o r.fom
  cmp -s d.fom r.fom || fail "the settings read back differ from those sent"
  has read.out 'MENU1 *PITCH *"12 CPI'
  ctl default 0 default --printer "$printer"
  cmp -s factory.fom state.fom || fail "the factory default did not reach the monitor's memory"
  has default.out 'MENU1 *PITCH *"10 CPI'
  ctl list 0 list --printer "$printer"
  has list.err 'prints its setting list on its own paper'
  [[ -s paper.txt ]] || fail "the monitor's printer printed no setting list"
  ended monitor 6

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
  ended fleet-monitor 8

  # Status 1 for the second exchange (the query after the online sequence); a status the
  # program does not know; the printer behind the monitor refusing the transfer's third send.
  failing read-status1 '--fail-exchange 2' 'language monitor reported that the printer port failed' \
    read --printer "$printer"
  failing read-status3 --status-3 '' read --printer "$printer"
  failing transfer-refused '--state state2.fom --refuse-send 3' '' transfer --printer "$printer" d.fom
  if [[ -e state2.fom ]] && cmp -s d.fom state2.fom; then fail "a refused transfer was stored"; fi
else
  # Each exchange gives up after its bound and the operation fails as with no printer.
  SECONDS=0
  failing read-silent --silent 'language monitor did not answer within 30 s' read --printer "$printer"
  ((SECONDS < 100)) || fail "the silent monitor held the read for $SECONDS s"
  failing read-held --hold-mutex 'mutex stayed held for 30 s' read --printer "$printer"
fi
echo "mailbox end to end ($part): ok"
