#!/usr/bin/env bash
# rovantctl against a simulated printer (SIM), each a process of its own. MODE tcp: --printer
# tcp://127.0.0.1:PORT to rovant-printer-sim --listen; lan: the same under Wine (WINE_RUN), then
# lan:127.0.0.1:lp through SxJcp32.dll beside rovantctl.exe; mailbox-quick: spooler:NAME to
# rovant-monitor-sim under Wine over the named mailbox: every operation, a fleet, the monitor's
# answered faults; mailbox-slow: its two 30 s bounds (silence, a mutex never released).
# Usage: end_to_end.sh SIM ROVANTCTL WORKDIR MODE [WINE_RUN]
set -u
sim=$1 ctl=$2 work=$3 mode=$4 run=("${@:5}")
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$work"

# serve NAME LINE ARGS...: SIM in the background (stop ends it), once it printed LINE.
serve() {
  local name=$1 line=$2
  shift 2
  spawn timeout 240 "${run[@]}" "$sim" "$@" >"$name.out" 2>"$name.err"
  sim_pid=${pids[-1]}
  wait_until 60 started || fail "$name did not start: $(cat "$name.err")"  # (and Wine)
}
started() {
  kill -0 "$sim_pid" 2>/dev/null || fail "$name stopped: $(cat "$name.err")"
  grep -q "^$line" "$name.out"
}
monitor() { serve "$1" monitoring --idle-exit 120 "${@:2}"; }
# ended NAME [JOBS]: the simulator ended by itself (the monitor after JOBS jobs).
ended() {
  wait "$sim_pid" || fail "$1 exited with $?: $(cat "$1.err")"
  pids=()  # it was the only one
  [[ -z ${2:-} || $(grep -c '^job [0-9]* ended' "$1.out") == "$2" ]] || fail "jobs: $(cat "$1.out")"
}
# ctl NAME EXPECTED-EXIT ARGS...: rovantctl, its output in NAME.out and NAME.err.
ctl() { exits "$2" "$1" timeout 120 "${run[@]}" "$ctl" "${@:3}"; }
# transfer_and_read PRINTER NAME PITCH [ITEM=VALUE...]: d.fom with MENU1.PITCH and the items
# (NAME.fom) transferred, then read back.
transfer_and_read() {
  cp d.fom "$2.fom"
  ctl "$2-set" 0 set "$2.fom" "MENU1.PITCH=$3" "${@:4}"
  ctl "$2" 0 transfer --printer "$1" "$2.fom"
  ctl "$2-read" 0 read --printer "$1" -o "$2-read.fom"
  cmp -s "$2.fom" "$2-read.fom" || fail "$2: the settings read back differ from those sent"
  has "$2-read.out" "MENU1 *PITCH *\"$3"
}
# failing NAME MESSAGE REASON ARGS...: rovantctl ARGS ends with exit status 1, MESSAGE and REASON.
failing() {
  ctl "$1" 1 "${@:4}"
  has "$1.err" "$2"
  has "$1.err" "$3"
}
# faulty NAME 'MONITOR-OPTIONS' REASON ARGS...: failing against a monitor with those faults.
faulty() {
  # shellcheck disable=SC2086
  monitor "$1-monitor" $2
  [[ $2 == --hold-mutex ]] && { grep -q '^holding the mailbox mutex' "$1-monitor.out" || sleep 1; }
  failing "$1" 'There is no response from Printer.' "${@:3}"
  stop
}

ctl defaults 0 defaults -o d.fom
printer='spooler:Vek HX320 test'
case $mode in
tcp | lan)
  sessions=3
  [[ $mode == tcp ]] || sessions=6
  serve sim 'listening on' --listen 127.0.0.1:0 --max-sessions $sessions --state state.fom
  port=$(tr -d '\r' <sim.out | sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p')
  transfer_and_read "tcp://127.0.0.1:$port" tcp '12 CPI'
  if [[ $mode == lan ]]; then
    # The same printer through the LAN connection library: the port name is cut at its colon.
    export ROVANT_LAN_TCP_PORT=$port ROVANT_LAN_RECEIVE_MS=5000
    transfer_and_read lan:127.0.0.1:lp lan '15 CPI'
  fi
  ended sim
  cmp -s "$mode.fom" state.fom || fail "the simulator's state file does not hold the last transfer"
  # Nobody listens there any more: refused.
  failing tcp-refused 'No response from Printer.' '' read --printer "tcp://127.0.0.1:$port"
  [[ $mode == tcp ]] || failing lan-refused 'No response from Printer.' '' read --printer lan:127.0.0.1:lp
  ctl port-0 2 read --printer tcp://127.0.0.1:0
  ;;
mailbox-quick)
  ctl factory 0 defaults -o factory.fom
  # Six jobs: transfer (its write and its read back), read, default (the same), list.
  monitor monitor --state state.fom --paper paper.txt --max-jobs 6
  transfer_and_read "$printer" transfer '12 CPI' 'CONFIG.LOCK=SETUP'
  has transfer.err 'the spooler has no printer'
  cmp -s transfer.fom state.fom || fail "the monitor's memory does not hold the transfer"
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
  monitor fleet-monitor --state state.fom --max-jobs 8
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
  lines audit.jsonl 2
  ended fleet-monitor 8

  # Status 1 for the second exchange (the query after the online sequence); a status the
  # program does not know; the printer behind the monitor refusing the transfer's third send.
  faulty read-status1 '--fail-exchange 2' 'language monitor reported that the printer port failed' \
    read --printer "$printer"
  faulty read-status3 --status-3 '' read --printer "$printer"
  faulty transfer-refused '--state state2.fom --refuse-send 3' '' \
    transfer --printer "$printer" transfer.fom
  if [[ -e state2.fom ]] && cmp -s transfer.fom state2.fom; then fail "a refused transfer was stored"; fi
  ;;
mailbox-slow)
  # Each exchange gives up after its bound and the operation fails as with no printer.
  SECONDS=0
  faulty read-silent --silent 'language monitor did not answer within 30 s' read --printer "$printer"
  ((SECONDS < 100)) || fail "the silent monitor held the read for $SECONDS s"
  faulty read-held --hold-mutex 'mutex stayed held for 30 s' read --printer "$printer"
  ;;
esac
echo "$mode end to end: ok"
