#!/usr/bin/env bash
# rovantctl discover against Debian's snmpd on loopback addresses, one agent per
# address on an unprivileged port: 127.0.77.21 describes an HX320, .22 an HX310
# (by its device description only), .23 a printer of another make whose port
# 9100 is a listener that must never be reached, .40 an HX310 where an HX320
# listens; nothing answers elsewhere.
# Found printers are confirmed against simulators on ADDRESS:9100 and added to
# an inventory that fleet then reads.
# Usage: discovery_end_to_end.sh SIM ROVANTCTL WORKDIR
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") work=$3
net=127.0.77
port=16161
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$work"
pids=()
stop() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  pids=()
}
trap stop EXIT
# Debian puts snmpd in /usr/sbin, which a user's PATH may lack.
snmpd=$(PATH=$PATH:/usr/sbin:/sbin command -v snmpd) ||
  fail "snmpd is not installed (Debian package snmpd; scripts/install-deps.sh)"

# agent HOST SYSDESCR HRDEVICEDESCR
agent() {
  local host=$1
  mkdir -p "persist-$host"
  {
    echo "rocommunity public 127.0.0.0/8"
    echo "sysdescr $2"
    echo "override 1.3.6.1.2.1.25.3.2.1.3.1 octet_str \"$3\""
    echo "createUser rovant SHA \"authpass-1\" AES \"privpass-1\""
    echo "rouser rovant priv"
  } >"snmpd-$host.conf"
  MIBS= MIBDIRS=/nonexistent SNMP_PERSISTENT_DIR="$PWD/persist-$host" \
    timeout 100 "$snmpd" -f -I -smux -C -c "snmpd-$host.conf" -Lf "snmpd-$host.log" "udp:$net.$host:$port" &
  pids+=($!)
}
agent 21 "Vek HX320 serial impact printer" "Vek HX320"
agent 22 "Linux 6.1 print server" "Vek HX310 on LPT1"
agent 23 "Acme LaserJet 9 PCL" "Acme LaserJet 9"
agent 40 "Vek HX310" "Vek HX310"

# The other make's port 9100: counts connections and bytes.
python3 - "$net.23" >other.log 2>&1 <<'PY' &
import socket, sys
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind((sys.argv[1], 9100)); s.listen(8); s.settimeout(100)
print("listening", flush=True)
while True:
    c, _ = s.accept(); c.settimeout(2)
    n = 0
    try:
        while (d := c.recv(4096)): n += len(d)
    except OSError: pass
    print("connection", n, flush=True); c.close()
PY
pids+=($!)
timeout 100 "$sim" --listen "$net.21:9100" >sim21.out 2>&1 &
pids+=($!)
timeout 100 "$sim" --listen "$net.22:9100" --model HX310 >sim22.out 2>&1 &
pids+=($!)
timeout 100 "$sim" --listen "$net.40:9100" >sim40.out 2>&1 &
pids+=($!)

for _ in $(seq 100); do  # at most 10 s for everything to listen
  ready=1
  for h in 21 22 23 40; do grep -q 'NET-SNMP version' "snmpd-$h.log" 2>/dev/null || ready=0; done
  for s in sim21 sim22 sim40; do grep -q '^listening on' $s.out || ready=0; done
  grep -q listening other.log || ready=0
  [[ $ready == 1 ]] && break
  sleep 0.1
done
[[ $ready == 1 ]] || fail "agents or listeners did not start: $(cat snmpd-*.log other.log sim*.out)"

# Discover a /27 with --confirm and an inventory.
"$ctl" discover "$net.0/27" --port $port --timeout 400 --json --confirm --inventory-out inv.yaml \
  >found.jsonl 2>found.err || fail "discover: $(cat found.err found.jsonl)"
lines found.jsonl 2
has found.jsonl "^{\"address\":\"$net.21\",\"confirm\":\"confirmed\",\"description\":\"Vek HX320\",\"firmware\":null,\"model\":\"HX320\",\"printer\":\"tcp://$net.21\"}$"
has found.jsonl "^{\"address\":\"$net.22\",\"confirm\":\"confirmed\",\"description\":\"Vek HX310 on LPT1\",\"firmware\":null,\"model\":\"HX310\",\"printer\":\"tcp://$net.22\"}$"
has found.err "^rovantctl: 30 addresses asked, 3 answered, 2 printers found in"
has found.err "inv.yaml: 2 added, 0 already listed"
lines found.err 2

# The inventory is fleet's: both printers read, with their models checked.
"$ctl" fleet read --inventory inv.yaml --json >read.jsonl 2>read.err || fail "fleet read: $(cat read.jsonl read.err)"
has read.jsonl '"name":"hx320-127-0-77-21",.*"result":"read"'
has read.jsonl '"name":"hx310-127-0-77-22",.*"result":"read"'

# The model check of --confirm: .40 says HX310 but an HX320 answers.
"$ctl" discover "$net.40" --port $port --timeout 400 --json --confirm >mixed.jsonl 2>mixed.err
[[ $? == 1 ]] || fail "a printer not confirmed must give exit status 1: $(cat mixed.jsonl mixed.err)"
has mixed.jsonl '"confirm":"other-model",.*"model":"HX310".*"reason":"warning: Different printer is connected'

# Again, into an inventory that names one of them already: its name stays.
printf 'printers:\n  - {name: dock-7, printer: "tcp://%s.21:9100", model: HX320}\n' "$net" >own.yaml
"$ctl" discover "$net.16/28" --port $port --timeout 400 --inventory-out own.yaml >table.out 2>table.err ||
  fail "discover to own.yaml: $(cat table.err)"
has table.err "own.yaml: 1 added, 1 already listed"
has own.yaml 'name: dock-7'
has own.yaml 'hx310-127-0-77-22'
[[ $(grep -c 'name:' own.yaml) == 2 ]] || fail "own.yaml: $(cat own.yaml)"
head -1 table.out | grep -q '^ADDRESS *MODEL *PRINTER *DESCRIPTION$' || fail "table: $(cat table.out)"
has table.out "^$net.22 *HX310 *tcp://$net.22 *Vek HX310 on LPT1$"

# SNMPv3 (SHA, AES) finds them too, the silent addresses' engine-ID probes all
# at once (one after another, 27 of them would take over 20 s); a wrong pass
# phrase or community finds nothing.
start=$(date +%s%N)
"$ctl" discover "$net.0/27" --port $port --timeout 400 --snmpv3 rovant:authpass-1:privpass-1 --json \
  >v3.jsonl 2>v3.err || fail "v3: $(cat v3.err)"
ms=$((($(date +%s%N) - start) / 1000000))
lines v3.jsonl 2
(( ms < 8000 )) || fail "SNMPv3 over a /27 took $ms ms"
"$ctl" discover "$net.21" --port $port --timeout 400 --snmpv3 rovant:authpass-2:privpass-1 --json \
  >v3bad.jsonl 2>/dev/null || fail "v3 with a wrong pass phrase"
[[ ! -s v3bad.jsonl ]] || fail "a wrong pass phrase found printers: $(cat v3bad.jsonl)"
"$ctl" discover "$net.16/28" --port $port --timeout 300 --community private --json >none.jsonl 2>none.err ||
  fail "wrong community: $(cat none.err)"
[[ ! -s none.jsonl ]] || fail "a wrong community found printers: $(cat none.jsonl)"

# A refused range: exit status 2 (the rules themselves are discovery_tests').
"$ctl" discover "$net.5/24" --port $port >/dev/null 2>bad.err
[[ $? == 2 ]] && grep -q "host bits set" bad.err || fail "a bad range: $(cat bad.err)"

# A /24 in one go, timed.
start=$(date +%s%N)
"$ctl" discover "$net.0/24" --port $port --json >all.jsonl 2>all.err || fail "/24: $(cat all.err)"
ms=$((($(date +%s%N) - start) / 1000000))
echo "discover $net.0/24 (4 agents, 250 silent addresses): $ms ms"
lines all.jsonl 3
(( ms < 10000 )) || fail "a /24 took $ms ms"

# The other make's port 9100 was never reached; nor any printer but ours.
stop
grep -q '^connection' other.log && fail "the other make's port 9100 was reached: $(cat other.log)"
echo "discovery end to end: ok"
