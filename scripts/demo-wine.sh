#!/usr/bin/env bash
# The main job, inside a Wine session with an X display (started by scripts/run.sh): ROVANT
# against a simulated HX320 behind the test bed's printer "HX320 on LPT1".
#
#   demo-wine.sh BUILD_DIR
#
# On the user's own display ROVANT is simply started: choose "HX320 on LPT1" and work with it;
# the demonstration ends when ROVANT does. On Xvfb (no display of the user's) the UI driver
# plays the user: it chooses the printer, waits for the read, prints what the MENU1 page shows
# beside the simulated printer's memory, saves a screenshot of the MENU1 page (xwd, netpbm),
# prints its path and quits ROVANT without keeping a working copy.
set -euo pipefail

build=$(cd "${1:?usage: demo-wine.sh BUILD_DIR}" && pwd)
wine=/usr/lib/wine/wine64
printer="HX320 on LPT1"
work=$build/demo
shots=$build/screenshots
rm -rf "$work"
mkdir -p "$work" "$shots"
# Paths given to the Windows programs are relative to this folder: they take "/..." for options.
cd "$work"

ctl() { "$wine" "$build/cli/rovantctl.exe" "$@" </dev/null; }
driver() { "$wine" "$build/testbed/uidriver/rovant-uidriver.exe" "$@" </dev/null; }
say() { printf '\n== %s\n' "$*"; }

monitor_pid=
rovant_pid=
stop_all() {
  [[ -n $rovant_pid ]] && kill "$rovant_pid" 2>/dev/null
  [[ -n $monitor_pid ]] && kill "$monitor_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap stop_all EXIT

say "the test bed's printers (drivers \"Vek HX310\", \"Vek HX320\"); LPT1: captured to $work/lpt1.bin"
"$wine" "$build/testbed/rovant-testbed-setup.exe" --install --capture-lpt1 "$work/lpt1.bin" \
  </dev/null >"$work/testbed.log" 2>&1 || { cat "$work/testbed.log"; exit 1; }
grep -c ': ok' "$work/testbed.log" | xargs printf '%s set-up steps done\n'

say "the simulated HX320's memory: factory settings with a few changes"
ctl defaults -o printer.fom >/dev/null
ctl set printer.fom "MENU1.PITCH=12 CPI" "MENU2.EMULATE=ESC/P2" "CONFIG.LOCK=SETUP" \
  >/dev/null
ctl show printer.fom >memory.txt && head -n 8 memory.txt

say "the language monitor's side of the mailbox: rovant-monitor-sim.exe (HX320)"
"$wine" "$build/sim/rovant-monitor-sim.exe" --model HX320 --state printer.fom \
  --paper paper.txt </dev/null >"$work/monitor.out" 2>"$work/monitor.err" &
monitor_pid=$!
for _ in $(seq 150); do
  grep -q '^monitoring ' "$work/monitor.out" 2>/dev/null && break
  kill -0 "$monitor_pid" 2>/dev/null || { cat "$work/monitor.err"; exit 1; }
  sleep 0.2
done
cat "$work/monitor.out"

say "ROVANT ($build/ui/rovant.exe)"
"$wine" "$build/ui/rovant.exe" </dev/null >rovant.log 2>&1 &
rovant_pid=$!

if [[ ${ROVANT_E2E_INSIDE_X:-} != 1 ]]; then
  echo "ROVANT is on your display ($DISPLAY). Choose \"$printer\" and press OK; the settings are"
  echo "read from the simulated HX320. Close ROVANT to end the demonstration."
  wait "$rovant_pid" || true
  rovant_pid=
  echo "ROVANT has ended."
  exit 0
fi

echo "no display of yours: ROVANT runs on Xvfb ($DISPLAY), driven by rovant-uidriver.exe"
driver wait-window --class '#32770' --caption ROVANT --timeout 60000 >/dev/null
driver select-row "$printer" --class '#32770' --caption ROVANT
driver press 1055 --class '#32770' --caption ROVANT # OK of the printer selection
echo "chose \"$printer\"; reading..."
driver wait-window --class rovant --alone 500 --timeout 60000 >/dev/null || {
  driver box --timeout 1000 || true
  exit 1
}

say "the MENU1 page as read from the printer (selected entries)"
for id in $(seq 1100 1122); do
  driver combo "$id" --class rovant | tr '\n' ' '
done
echo
# The main window is all there is on Xvfb's black screen: the picture is the screen cropped.
shot=$shots/menu1.png
xwd -root -silent | xwdtopnm 2>/dev/null | pnmcrop 2>/dev/null | pnmtopng >"$shot"
say "screenshot of the MENU1 page: $shot"

driver press 1051 --class rovant # Finish
driver box --timeout 10000 || true
driver press No --timeout 10000 >/dev/null || true
wait "$rovant_pid" 2>/dev/null || true
rovant_pid=
echo "ROVANT has ended."
