#!/usr/bin/env bash
# rovantctl --printer tcp://127.0.0.1:PORT against rovant-printer-sim --listen,
# both as separate processes: a transfer is stored in the simulator's state
# file, read back by the transfer itself and by a read; a closed port gives the refused
# explanation.
# Usage: tcp_end_to_end.sh SIM ROVANTCTL WORKDIR
set -u
sim=$1 ctl=$2 work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
fail() { echo "FAIL: $*" >&2; [[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null; exit 1; }

"$ctl" defaults -o "$work/d.fom" || fail "defaults"
"$ctl" set "$work/d.fom" 'MENU1.PITCH=12 CPI' >/dev/null || fail "set"

timeout 60 "$sim" --listen 127.0.0.1:0 --max-sessions 3 --state "$work/state.fom" \
  >"$work/sim.out" 2>"$work/sim.err" &
pid=$!
port=
for _ in $(seq 50); do  # at most 5 s for the simulator to say where it listens
  port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$work/sim.out")
  [[ -n $port ]] && break
  sleep 0.1
done
[[ -n $port ]] || fail "the simulator printed no 'listening on' line"

timeout 30 "$ctl" transfer --printer "tcp://127.0.0.1:$port" "$work/d.fom" 2>"$work/t.err" ||
  fail "transfer: $(cat "$work/t.err")"
timeout 30 "$ctl" read --printer "tcp://127.0.0.1:$port" -o "$work/r.fom" >"$work/r.out" \
  2>"$work/r.err" || fail "read: $(cat "$work/r.err")"
cmp -s "$work/d.fom" "$work/r.fom" || fail "the settings read back differ from those sent"
grep -q 'MENU1 *PITCH *"12 CPI' "$work/r.out" || fail "read output lacks MENU1 PITCH 12 CPI"
wait "$pid" || fail "the simulator exited with $?"
pid=
cmp -s "$work/d.fom" "$work/state.fom" || fail "the simulator's state file does not hold the transfer"

# Nobody listens there any more: refused, explained, exit status 1.
timeout 30 "$ctl" read --printer "tcp://127.0.0.1:$port" >/dev/null 2>"$work/refused.err"
rc=$?
[[ $rc == 1 ]] || fail "read from a closed port: exit $rc, not 1"
grep -q "refused the connection: it is busy with another session or switched off" \
  "$work/refused.err" || fail "no refused explanation: $(cat "$work/refused.err")"
grep -q "No response from Printer." "$work/refused.err" || fail "no LAN message"

"$ctl" read --printer tcp://127.0.0.1:0 >/dev/null 2>&1
[[ $? == 2 ]] || fail "port 0 accepted"
echo "tcp end to end: ok"
