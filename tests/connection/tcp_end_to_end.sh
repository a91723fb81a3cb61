#!/usr/bin/env bash
# rovantctl --printer tcp://127.0.0.1:PORT against rovant-printer-sim --listen,
# both as separate processes: a transfer is stored in the simulator's state
# file and read back; a closed port gives exit status 1 and the LAN
# message. With --lan both run under Wine (WINE_RUN), and the same is done
# with --printer lan:127.0.0.1:lp, through SxJcp32.dll beside rovantctl.exe
# (its TCP port set by ROVANT_LAN_TCP_PORT). Files are named relative to WORKDIR.
# Usage: tcp_end_to_end.sh [--lan WINE_RUN] SIM ROVANTCTL WORKDIR
set -u
run=() lan= wait=60
if [[ $1 == --lan ]]; then
  run=("$2") lan=1 wait=120
  shift 2
fi
sim=$1 ctl=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*" >&2; [[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null; exit 1; }
ctl() { timeout $((wait / 2)) "${run[@]}" "$ctl" "$@"; }

# transfer_and_read PRINTER NAME PITCH: a transfer of PITCH, read back.
transfer_and_read() {
  local printer=$1 name=$2 pitch=$3
  cp d.fom "$name.fom" && ctl set "$name.fom" "MENU1.PITCH=$pitch" >/dev/null || fail "set $pitch"
  ctl transfer --printer "$printer" "$name.fom" 2>"$name-t.err" ||
    fail "$name transfer: $(cat "$name-t.err")"
  ctl read --printer "$printer" -o "$name-r.fom" >"$name-r.out" 2>"$name-r.err" ||
    fail "$name read: $(cat "$name-r.err")"
  cmp -s "$name.fom" "$name-r.fom" || fail "$name: the settings read back differ from those sent"
  grep -q "MENU1 *PITCH *\"$pitch" "$name-r.out" || fail "$name read output lacks PITCH $pitch"
}
# refused PRINTER NAME: nobody listens there any more: refused, exit status 1, the LAN message.
refused() {
  ctl read --printer "$1" >/dev/null 2>"$2.err"
  local rc=$?
  [[ $rc == 1 ]] || fail "$2: read from a closed port: exit $rc, not 1: $(cat "$2.err")"
  grep -q "No response from Printer." "$2.err" || fail "$2: no LAN message: $(cat "$2.err")"
}

ctl defaults -o d.fom || fail "defaults"
timeout "$wait" "${run[@]}" "$sim" --listen 127.0.0.1:0 --max-sessions $((lan ? 6 : 3)) \
  --state state.fom >sim.out 2>sim.err &
pid=$!
port=
for _ in $(seq $((wait * 2))); do  # the simulator (and Wine) starting, until it says where it listens
  port=$(tr -d '\r' <sim.out | sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p')
  [[ -n $port ]] && break
  sleep 0.1
done
[[ -n $port ]] || fail "the simulator printed no 'listening on' line: $(cat sim.err)"

transfer_and_read "tcp://127.0.0.1:$port" tcp '12 CPI'
last=tcp
if [[ -n $lan ]]; then
  # The same printer through the LAN connection library: the port name is cut at its colon.
  export ROVANT_LAN_TCP_PORT=$port ROVANT_LAN_RECEIVE_MS=5000
  transfer_and_read "lan:127.0.0.1:lp" lan '15 CPI'
  last=lan
fi
wait "$pid" || fail "the simulator exited with $?: $(cat sim.err)"
pid=
cmp -s "$last.fom" state.fom || fail "the simulator's state file does not hold the last transfer"

refused "tcp://127.0.0.1:$port" tcp-refused
[[ -n $lan ]] && refused "lan:127.0.0.1:lp" lan-refused

ctl read --printer tcp://127.0.0.1:0 >/dev/null 2>&1
[[ $? == 2 ]] || fail "port 0 accepted"
echo "tcp${lan:+ and lan} end to end: ok"
