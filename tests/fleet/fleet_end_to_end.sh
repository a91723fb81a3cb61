#!/usr/bin/env bash
# rovantctl fleet against a simulated fleet on loopback (rovant-printer-sim
# --listen-many, six printers): 0 and 5 sound, 1 silent, 2 refusing, 3 of the
# other model, 4 dropping MENU1.PITCH on transfer. Checks each printer's
# result, the simulators' memories, the audit log, --only-failed, that
# "unchanged" sends nothing, check's drift and metrics, and a bad inventory.
# Usage: fleet_end_to_end.sh SIM ROVANTCTL WORKDIR
set -u
sim=$1 ctl=$2 work=$3
source "$(dirname "${BASH_SOURCE[0]}")/../scenario_lib.sh"
fresh_work "$work" state
# result NAME FILE: the printer's result in a --json output
result() { grep "\"name\":\"$1\"" "$2" | sed -n 's/.*"result":"\([a-z]*\)".*/\1/p'; }
sessions() { grep -c "^printer $1: session" sim.out; }
expect_results() {  # FILE name=result...
  local file=$1 pair got
  shift
  for pair in "$@"; do
    got=$(result "${pair%%=*}" "$file")
    [[ $got == "${pair#*=}" ]] || fail "$file: ${pair%%=*} is '$got', not '${pair#*=}': $(cat "$file")"
  done
}

start_fleet "$sim" 6 120 --state-dir state \
  --faults-for 1:silent,2:refuse,3:report-model,4:drop-item=MENU1.PITCH
{
  echo "defaults: {model: HX320, groups: [all]}"
  echo "printers:"
  for i in 0 1 2 3 4 5; do
    echo "  - {name: p$i, printer: \"tcp://127.0.0.1:${ports[$i]}\", groups: [all, g$((i % 2))]}"
  done
} >inv.yaml
printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\nMENU2.PITCH: "15 CPI "\n' >profile.yaml
"$ctl" profile build profile.yaml -o want.fom || fail "profile build"

# Apply: each printer's own result; only the sound ones succeed.
"$ctl" fleet apply --inventory inv.yaml profile.yaml --json --audit audit.jsonl >r1.jsonl 2>r1.err
[[ $? == 1 ]] || fail "apply to a fleet with failures must exit 1"
lines r1.jsonl 6
expect_results r1.jsonl p0=applied p1=failed p2=failed p3=failed p4=differs p5=applied
grep '"name":"p4"' r1.jsonl | grep -q '"got":"10 CPI ","item":"MENU1.PITCH","want":"12 CPI "' ||
  fail "p4 does not name MENU1.PITCH: $(cat r1.jsonl)"
grep '"name":"p3"' r1.jsonl | grep -q '"reason":"warning: Different printer is connected' ||
  fail "p3's reason: $(cat r1.jsonl)"
for i in 0 5; do
  cmp -s want.fom "state/printer-$i.state" || fail "p$i said applied but its memory differs"
done
cmp -s want.fom state/printer-4.state && fail "p4 dropped MENU1.PITCH, yet its memory holds it"

# The audit log: exactly the three writes (p0, p4, p5), each before and after.
lines audit.jsonl 3
want_hex=$(od -An -tx1 -v want.fom | tr -d ' \n')
for name in p0 p4 p5; do
  grep "\"name\":\"$name\"" audit.jsonl | grep -q "\"after\":\"$want_hex\"" ||
    fail "no audit line for $name: $(cat audit.jsonl)"
done
grep -q '"name":"p[123]"' audit.jsonl && fail "the audit log holds a printer never written"

# The same apply again: nothing to change on p0 and p5; they get only a read.
before0=$(sessions 0)
"$ctl" fleet apply --inventory inv.yaml profile.yaml --group g1 --json --audit audit.jsonl \
  >r2.jsonl 2>/dev/null
expect_results r2.jsonl p5=unchanged p1=failed p3=failed
"$ctl" fleet apply --inventory inv.yaml profile.yaml --group g0 --json --audit audit.jsonl \
  >r3.jsonl 2>/dev/null
expect_results r3.jsonl p0=unchanged p4=differs
[[ $(($(sessions 0) - before0)) == 1 ]] || fail "unchanged p0 had more than its read session"
lines audit.jsonl 4  # only p4's second write belongs in the log

# --only-failed: just the printers that did not succeed in r1.
"$ctl" fleet check --inventory inv.yaml profile.yaml --only-failed r1.jsonl --json \
  --metrics fleet.prom >r4.jsonl 2>/dev/null
[[ $? == 1 ]] || fail "check with drift must exit 1"
[[ $(sed -n 's/.*"name":"\(p[0-9]\)".*/\1/p' r4.jsonl | tr '\n' ' ') == "p1 p2 p3 p4 " ]] ||
  fail "--only-failed chose: $(cat r4.jsonl)"
expect_results r4.jsonl p4=drift p1=failed
has fleet.prom "^rovant_printer_up{name=\"p1\",printer=\"tcp://127.0.0.1:${ports[1]}\"} 0$"
has fleet.prom '^rovant_printer_drift_items{name="p4",.*} 1$'
has fleet.prom '^rovant_printer_check_timestamp_seconds{name="p2",.*} [0-9]*$'
ls fleet.prom.* 2>/dev/null && fail "a temporary metrics file was left behind"

# Reading the sound printers saves their settings.
"$ctl" fleet read --inventory inv.yaml --group g1 --out saved --json >r5.jsonl 2>/dev/null
expect_results r5.jsonl p5=read
cmp -s want.fom saved/p5.fom || fail "fleet read did not save p5's settings"

# A single transfer reads back too: p4 drops the item.
"$ctl" transfer --printer "tcp://127.0.0.1:${ports[4]}" want.fom >t.out 2>t.err
[[ $? == 1 ]] && grep -q 'MENU1.PITCH want "12 CPI " got "10 CPI "' t.out ||
  fail "transfer to p4 did not name the item: $(cat t.out t.err)"

# Progress: a live line on a terminal's standard error (script(1) gives it one), never in the
# JSON, and nothing of it when standard error is a file.
script -qec "'$ctl' fleet read --inventory inv.yaml --group g1 --json >r6.jsonl" /dev/null \
  >tty.out </dev/null
has tty.out 'rovantctl: 3 done, 2 failed, 0 remaining'
expect_results r6.jsonl p1=failed p3=failed p5=read
grep -q 'remaining' r6.jsonl r1.err && fail "progress went to a file"

# Bad inventories and profiles: exit 2 with the line, nothing sent.
before=$(grep -c 'session' sim.out)
printf 'printers:\n  - {name: a, printer: "tcp://127.0.0.1:%s"}\n  - {name: a, printer: sim:HX320}\n' \
  "${ports[0]}" >dup.yaml
"$ctl" fleet apply --inventory dup.yaml profile.yaml --audit audit.jsonl >/dev/null 2>dup.err
[[ $? == 2 ]] && grep -q 'dup.yaml:3: name "a" is used twice' dup.err || fail "dup: $(cat dup.err)"
printf 'MENU1.PITCH: 11 CPI\n' >bad.yaml
"$ctl" fleet apply --inventory inv.yaml bad.yaml --audit audit.jsonl >bad.out 2>bad.err
[[ $? == 1 ]] && grep -q '"11 CPI" is not a value' bad.out || fail "bad label: $(cat bad.out)"
lines audit.jsonl 4  # a refused profile wrote nothing
echo "fleet end to end: ok"
