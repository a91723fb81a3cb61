#!/usr/bin/env bash
# Measures the x86_64 program under Wine with a running wineserver: start to the printer
# selection dialog over several runs, and the working set after a read of "HX320 on LPT1"
# answered by rovant-monitor-sim.exe; then Wine's own notepad.exe the same way, as a baseline. Run from the repository root after a mingw64 build:
#
#   bash tests/e2e/run_e2e.sh --prefix "$PWD/build/mingw64/demo-prefix" --host -- \
#     bash bench/startup_probe.sh build/mingw64 [RUNS]
set -euo pipefail

build=$(cd "${1:?usage: startup_probe.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-11}
wine=/usr/lib/wine/wine64
work=$build/startup-probe
rm -rf "$work"
mkdir -p "$work"
cd "$work"

"$wine" "$build/testbed/rovant-testbed-setup.exe" --install </dev/null >testbed.log 2>&1
"$wine" "$build/cli/rovantctl.exe" defaults -o printer.fom </dev/null >/dev/null
"$wine" "$build/sim/rovant-monitor-sim.exe" --state printer.fom </dev/null >monitor.out 2>&1 &
monitor=$!
trap 'kill $monitor 2>/dev/null || true' EXIT
for _ in $(seq 150); do
  grep -q '^monitoring ' monitor.out 2>/dev/null && break
  sleep 0.2
done
"$wine" "$build/bench/startup_probe.exe" "$(winepath -w "$build/ui/rovant.exe" 2>/dev/null)" \
  "HX320 on LPT1" "$runs" </dev/null | tee probe.txt
echo "baseline: Wine's notepad.exe, start to its window"
"$wine" "$build/bench/startup_probe.exe" "C:\\windows\\system32\\notepad.exe" - "$runs" </dev/null | tee baseline.txt
for f in probe.txt baseline.txt; do
  grep -o '[0-9]* ms' "$f" | sort -n | awk '{a[NR]=$1} END {print "median:", a[int((NR+1)/2)], "ms of", NR, "runs"}'
done
