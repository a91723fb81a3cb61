#!/usr/bin/env bash
# rovantctl discover against Debian's snmpd on loopback addresses, one agent per address on an
# unprivileged port: 127.0.77.21 describes an HX320, .22 an HX310 (by its device description only),
# .23 a printer of another make whose port 9100 must never be reached, .40 an HX310 where an HX320
# listens; nothing answers elsewhere. Found printers are confirmed against simulators on
# ADDRESS:9100 and added to an inventory that fleet then reads.
# Usage: discovery_end_to_end.sh SIM ROVANTCTL WORKDIR
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") net=127.0.77
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$3"
# Debian puts snmpd in /usr/sbin, which a user's PATH may lack.
snmpd=$(PATH=$PATH:/usr/sbin:/sbin command -v snmpd) ||
  fail "snmpd is not installed (Debian package snmpd; scripts/install-deps.sh)"
discover() { "$ctl" discover "$@" --port 16161; }

agent() {  # HOST SYSDESCR HRDEVICEDESCR
  mkdir -p "persist-$1"
  printf '%s\n' "rocommunity public 127.0.0.0/8" "sysdescr $2" \
    "override 1.3.6.1.2.1.25.3.2.1.3.1 octet_str \"$3\"" \
    'createUser rovant SHA "authpass-1" AES "privpass-1"' "rouser rovant priv" >"snmpd-$1.conf"
  spawn env MIBS= MIBDIRS=/nonexistent SNMP_PERSISTENT_DIR="$PWD/persist-$1" timeout 100 "$snmpd" \
    -f -I -smux -C -c "snmpd-$1.conf" -Lf "snmpd-$1.log" "udp:$net.$1:16161"
}
agent 21 "Vek HX320 serial impact printer" "Vek HX320"
agent 22 "Linux 6.1 print server" "Vek HX310 on LPT1"
agent 23 "Acme LaserJet 9 PCL" "Acme LaserJet 9"
agent 40 "Vek HX310" "Vek HX310"
spawn timeout 100 "$sim" --listen "$net.21:9100" >sim21.out 2>&1
spawn timeout 100 "$sim" --listen "$net.22:9100" --model HX310 >sim22.out 2>&1
spawn timeout 100 "$sim" --listen "$net.40:9100" >sim40.out 2>&1
# The other make's port 9100: a line for each connection.
spawn python3 -c 'import socket, sys
s = socket.create_server((sys.argv[1], 9100)); s.settimeout(100); print("listening", flush=True)
while s.accept(): print("connection", flush=True)' "$net.23" >other.out 2>&1
ready() {
  [[ $(grep -ls 'NET-SNMP version' snmpd-*.log | wc -l) == 4 &&
    $(grep -l '^listening' sim*.out other.out | wc -l) == 4 ]]
}
wait_until 10 ready || fail "agents or listeners did not start: $(cat snmpd-*.log ./*.out)"

# A /27 with --confirm and an inventory.
exits 0 found discover "$net.0/27" --timeout 400 --json --confirm --inventory-out inv.yaml
lines found.out 2
has found.out "^{\"address\":\"$net.21\",\"confirm\":\"confirmed\",\"description\":\"Vek HX320\",\"firmware\":null,\"model\":\"HX320\",\"printer\":\"tcp://$net.21\"}$"
has found.out "^{\"address\":\"$net.22\",\"confirm\":\"confirmed\",\"description\":\"Vek HX310 on LPT1\",\"firmware\":null,\"model\":\"HX310\",\"printer\":\"tcp://$net.22\"}$"
has found.err "^rovantctl: 30 addresses asked, 3 answered, 2 printers found in"
has found.err "inv.yaml: 2 added, 0 already listed"
lines found.err 2
# The inventory is fleet's: both printers read, with their models checked.
exits 0 read "$ctl" fleet read --inventory inv.yaml --json
has read.out '"name":"hx320-127-0-77-21",.*"result":"read"'
has read.out '"name":"hx310-127-0-77-22",.*"result":"read"'

# The model check of --confirm: .40 says HX310 but an HX320 answers.
exits 1 mixed discover "$net.40" --timeout 400 --json --confirm
has mixed.out '"confirm":"other-model",.*"model":"HX310".*"reason":"warning: Different printer is connected'

# Again, as a table, into an inventory that names one of them already (which names stay is
# discovery_tests').
printf 'printers:\n  - {name: dock-7, printer: "tcp://%s.21:9100", model: HX320}\n' "$net" >own.yaml
exits 0 table discover "$net.16/28" --timeout 400 --inventory-out own.yaml
has table.err "own.yaml: 1 added, 1 already listed"
has own.yaml 'hx310-127-0-77-22'
head -1 table.out | grep -q '^ADDRESS *MODEL *PRINTER *DESCRIPTION$' || fail "table: $(cat table.out)"
has table.out "^$net.22 *HX310 *tcp://$net.22 *Vek HX310 on LPT1$"

# SNMPv3 (SHA, AES) finds them too, the silent addresses' engine-ID probes all at once (one after
# another, 27 of them would take over 20 s); a wrong pass phrase or community finds nothing.
within 8000 0 v3 discover "$net.0/27" --timeout 400 --snmpv3 rovant:authpass-1:privpass-1 --json
lines v3.out 2
for wrong in "--snmpv3 rovant:authpass-2:privpass-1" "--community private"; do
  exits 0 wrong discover "$net.16/28" --timeout 300 $wrong --json
  [[ ! -s wrong.out ]] || fail "$wrong found printers: $(cat wrong.out)"
done

# A refused range: exit status 2 (the rules themselves are discovery_tests').
exits 2 bad discover "$net.5/24"
has bad.err "host bits set"

# A /24 in one go, timed: 4 agents, 250 silent addresses.
within 10000 0 all discover "$net.0/24" --json
lines all.out 3
has all.out "^{\"address\":\"$net.21\",\"description\":\"Vek HX320\",\"model\":\"HX320\",\"printer\":\"tcp://$net.21\"}$"

# The other make's port 9100 was never reached; nor any printer but ours.
stop
grep -q '^connection' other.out && fail "the other make's port 9100 was reached: $(cat other.out)"
echo "discovery end to end: ok"
