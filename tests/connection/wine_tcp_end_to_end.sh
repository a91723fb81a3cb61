#!/usr/bin/env bash
# rovantctl.exe against rovant-printer-sim.exe --listen, both under Wine as
# separate processes: with --printer tcp://127.0.0.1:PORT and then with
# --printer lan:127.0.0.1:lp (through SxJcp32.dll beside rovantctl.exe, its TCP
# port set by ROVANT_LAN_TCP_PORT) a transfer is stored in the simulator's
# state file and read back; a closed port gives the refused explanation and
# the LAN message. Files are named relative to WORKDIR.
# Usage: wine_tcp_end_to_end.sh WINE_RUN SIM.exe ROVANTCTL.exe WORKDIR
set -u
run=$1 sim=$2 ctl=$3 work=$4
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*" >&2; [[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null; exit 1; }
ctl() { timeout 60 "$run" "$ctl" "$@"; }

ctl defaults -o d.fom || fail "defaults"
ctl set d.fom 'MENU1.PITCH=12 CPI' >/dev/null || fail "set"
cp d.fom lan.fom && ctl set lan.fom 'MENU1.PITCH=15 CPI' >/dev/null || fail "set for lan"

timeout 120 "$run" "$sim" --listen 127.0.0.1:0 --max-sessions 6 --state state.fom \
  >sim.out 2>sim.err &
pid=$!
port=
for _ in $(seq 300); do  # at most 30 s for the simulator (and Wine) to start
  port=$(tr -d '\r' <sim.out | sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p')
  [[ -n $port ]] && break
  sleep 0.1
done
[[ -n $port ]] || fail "the simulator printed no 'listening on' line: $(cat sim.err)"

ctl transfer --printer "tcp://127.0.0.1:$port" d.fom 2>t.err || fail "transfer: $(cat t.err)"
ctl read --printer "tcp://127.0.0.1:$port" -o r.fom >r.out 2>r.err || fail "read: $(cat r.err)"
cmp -s d.fom r.fom || fail "the settings read back differ from those sent"
grep -q 'MENU1 *PITCH *"12 CPI' r.out || fail "read output lacks MENU1 PITCH 12 CPI"

# The same printer through the LAN connection library: the port name is cut at its colon.
export ROVANT_LAN_TCP_PORT=$port ROVANT_LAN_RECEIVE_MS=5000
ctl transfer --printer "lan:127.0.0.1:lp" lan.fom 2>lt.err || fail "lan transfer: $(cat lt.err)"
ctl read --printer "lan:127.0.0.1:lp" -o lr.fom >lr.out 2>lr.err || fail "lan read: $(cat lr.err)"
cmp -s lan.fom lr.fom || fail "the settings read back through the library differ from those sent"
grep -q 'MENU1 *PITCH *"15 CPI' lr.out || fail "lan read output lacks MENU1 PITCH 15 CPI"
wait "$pid" || fail "the simulator exited with $?: $(cat sim.err)"
pid=
cmp -s lan.fom state.fom || fail "the simulator's state file does not hold the last transfer"

# Nobody listens there any more: refused, explained, exit status 1.
ctl read --printer "tcp://127.0.0.1:$port" >/dev/null 2>refused.err
rc=$?
[[ $rc == 1 ]] || fail "read from a closed port: exit $rc, not 1: $(cat refused.err)"
grep -q "refused the connection: it is busy with another session or switched off" refused.err ||
  fail "no refused explanation: $(cat refused.err)"
grep -q "No response from Printer." refused.err || fail "no LAN message"
ctl read --printer "lan:127.0.0.1:lp" >/dev/null 2>lan-refused.err
rc=$?
[[ $rc == 1 ]] || fail "lan read from a closed port: exit $rc, not 1: $(cat lan-refused.err)"
grep -q "No response from Printer." lan-refused.err ||
  fail "no LAN message through the library: $(cat lan-refused.err)"
unset ROVANT_LAN_TCP_PORT ROVANT_LAN_RECEIVE_MS

ctl read --printer tcp://127.0.0.1:0 >/dev/null 2>&1
[[ $? == 2 ]] || fail "port 0 accepted"
echo "wine tcp and lan end to end: ok"
