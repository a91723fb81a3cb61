#!/usr/bin/env bash
# rovantctl on a factory-default setting file, natively (the Windows program's
# demonstration is scripts/run.sh). Takes the build folder (default build/linux).
set -euo pipefail
build=${1:-build/linux}
ctl="$(cd "$build" && pwd)/cli/rovantctl"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

step() { printf '\n$ %s\n' "$*"; }

step rovantctl defaults -o factory.fom
"$ctl" defaults -o factory.fom
od -An -tx1 -v factory.fom

step rovantctl show factory.fom "(first MENU1 rows)"
"$ctl" show factory.fom >show.txt
head -n 12 show.txt

for model in HX310 HX320; do
  step rovantctl text --model "$model" factory.fom
  "$ctl" text --model "$model" -o "text-$model.bin" factory.fom
  printf '%s bytes: ' "$(wc -c <"text-$model.bin")"
  head -c 64 "text-$model.bin" | tr '\r' '|'
  echo '...'
done

cp factory.fom office.fom
step rovantctl set office.fom MENU1.PITCH=\"12 CPI\" MENU2.EMULATE=ESC/P2 CONFIG.LOCK=SETUP
"$ctl" set office.fom "MENU1.PITCH=12 CPI" "MENU2.EMULATE=ESC/P2" "CONFIG.LOCK=SETUP"

step rovantctl diff factory.fom office.fom
status=0
"$ctl" diff factory.fom office.fom || status=$?
echo "(exit status $status: the files differ)"

step rovantctl set office.fom HARDWARE.BAUD-RT=1200 "(a read-only item is refused)"
"$ctl" set office.fom "HARDWARE.BAUD-RT=1200" || echo "(exit status $?)"

step rovantctl transfer --printer sim:HX320 --state printer.state office.fom
"$ctl" transfer --printer sim:HX320 --state printer.state office.fom

step rovantctl read --printer sim:HX320 --state printer.state "(the printer now holds office.fom)"
"$ctl" read --printer sim:HX320 --state printer.state -o readback.fom >read.txt
head -n 6 read.txt
"$ctl" diff office.fom readback.fom && echo "(no differences: the printer stored what was sent)"
