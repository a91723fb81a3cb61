#!/usr/bin/env bash
# rovantctl fleet against a simulated fleet on loopback (rovant-printer-sim --listen-many, six
# printers): 0 and 5 sound, 1 silent, 2 refusing, 3 of the other model, 4 dropping MENU1.PITCH on
# transfer. Checks each printer's result, the simulators' memories, the audit log, --only-failed,
# that "unchanged" sends nothing, check's drift and metrics, progress, and bad inventories.
# Usage: fleet_end_to_end.sh SIM ROVANTCTL WORKDIR
set -u
sim=$1 ctl=$2
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$3" state
fleet() { "$ctl" fleet "$1" --inventory "${inv:-inv.yaml}" "${@:2}"; }
sessions() { grep -c "^printer $1: session" sim.out; }
expect_results() {  # FILE NAME=RESULT...: the printers' results in a --json output
  local pair
  for pair in "${@:2}"; do has "$1" "\"name\":\"${pair%%=*}\",.*\"result\":\"${pair#*=}\""; done
}

start_fleet "$sim" 6 120 --state-dir state \
  --faults-for 1:silent,2:refuse,3:report-model,4:drop-item=MENU1.PITCH
{ echo "defaults: {model: HX320}" && inventory; } >inv.yaml
printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\nMENU2.PITCH: "15 CPI "\n' >profile.yaml
exits 0 build "$ctl" profile build profile.yaml -o want.fom

# Apply: each printer's own result; only the sound ones succeed.
exits 1 r1 fleet apply profile.yaml --json --audit audit.jsonl
lines r1.out 6
expect_results r1.out p0=applied p1=failed p2=failed p3=failed p4=differs p5=applied
has r1.out '"got":"10 CPI ","item":"MENU1.PITCH","want":"12 CPI "}],"name":"p4"'
has r1.out '"name":"p3",.*"reason":"warning: Different printer is connected'
for i in 0 5; do
  cmp -s want.fom "state/printer-$i.state" || fail "p$i said applied but its memory differs"
done
cmp -s want.fom state/printer-4.state && fail "p4 dropped MENU1.PITCH, yet its memory holds it"

# The audit log: exactly the three writes (p0, p4, p5), each before and after.
lines audit.jsonl 3
want_hex=$(od -An -tx1 -v want.fom | tr -d ' \n')
for name in p0 p4 p5; do has audit.jsonl "\"after\":\"$want_hex\".*\"name\":\"$name\""; done

# The same apply again: nothing to change on p0 and p5; they get only a read.
before0=$(sessions 0)
exits 1 r2 fleet apply profile.yaml --group g1 --json --audit audit.jsonl
expect_results r2.out p5=unchanged p1=failed p3=failed
exits 1 r3 fleet apply profile.yaml --group g0 --json --audit audit.jsonl
expect_results r3.out p0=unchanged p4=differs
[[ $(($(sessions 0) - before0)) == 1 ]] || fail "unchanged p0 had more than its read session"
lines audit.jsonl 4  # only p4's second write belongs in the log

# --only-failed: just the printers that did not succeed in r1.
exits 1 r4 fleet check profile.yaml --only-failed r1.out --json --metrics fleet.prom
[[ $(sed -n 's/.*"name":"\(p[0-9]\)".*/\1/p' r4.out | tr '\n' ' ') == "p1 p2 p3 p4 " ]] ||
  fail "--only-failed chose: $(cat r4.out)"
expect_results r4.out p4=drift p1=failed
has fleet.prom "^rovant_printer_up{name=\"p1\",printer=\"tcp://127.0.0.1:${ports[1]}\"} 0$"
has fleet.prom '^rovant_printer_drift_items{name="p4",.*} 1$'
has fleet.prom '^rovant_printer_check_timestamp_seconds{name="p2",.*} [0-9]*$'
ls fleet.prom.* 2>/dev/null && fail "a temporary metrics file was left behind"

# A single transfer reads back too: p4 drops the item.
exits 1 t "$ctl" transfer --printer "tcp://127.0.0.1:${ports[4]}" want.fom
has t.out 'MENU1.PITCH want "12 CPI " got "10 CPI "'

# Reading saves the sound printers' settings, with progress: a live line on a terminal's
# standard error (script(1) gives it one), never in the JSON, nothing of it when it is a file.
script -qec "'$ctl' fleet read --inventory inv.yaml --group g1 --out saved --json >r6.out" /dev/null \
  >tty.out </dev/null
has tty.out 'rovantctl: 3 done, 2 failed, 0 remaining'
expect_results r6.out p1=failed p3=failed p5=read
cmp -s want.fom saved/p5.fom || fail "fleet read did not save p5's settings"
grep -q 'remaining' r6.out r1.err && fail "progress went to a file"

# A bad inventory: refused with its line, nothing sent; a bad label: nothing written.
before=$(grep -c 'session' sim.out)
printf 'printers:\n  - {name: a, printer: "tcp://127.0.0.1:%s"}\n  - {name: a, printer: sim:HX320}\n' \
  "${ports[0]}" >dup.yaml
inv=dup.yaml exits 2 dup fleet apply profile.yaml --audit audit.jsonl
has dup.err 'dup.yaml:3: name "a" is used twice'
[[ $(grep -c 'session' sim.out) == "$before" ]] || fail "a refused inventory was sent"
printf 'MENU1.PITCH: 11 CPI\n' >bad.yaml
exits 1 bad fleet apply bad.yaml --audit audit.jsonl
has bad.out '"11 CPI" is not a value'
lines audit.jsonl 4
echo "fleet end to end: ok"
