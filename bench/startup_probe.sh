#!/usr/bin/env bash
# Measures the x86_64 program under Wine with a running wineserver: start to the printer selection
# dialog over several runs and the working set after a read of "HX320 on LPT1" answered by
# rovant-monitor-sim.exe; then Wine's own notepad.exe the same way, as a baseline. Run from the
# repository root after a mingw64 build:
#
#   bash tests/e2e/run_e2e.sh --prefix "$PWD/build/mingw64/demo-prefix" --host -- \
#     bash bench/startup_probe.sh build/mingw64 [RUNS]
set -u
build=$(cd "${1:?usage: startup_probe.sh BUILD_DIR [RUNS]}" && pwd) runs=${2:-11} wine=/usr/lib/wine/wine64
source "$(dirname "${BASH_SOURCE[0]}")/../tests/scenario_lib.sh"
fresh_work "$build/startup-probe"
"$wine" "$build/testbed/rovant-testbed-setup.exe" --install </dev/null >testbed.log 2>&1 ||
  fail "the test bed: $(cat testbed.log)"
"$wine" "$build/cli/rovantctl.exe" defaults -o printer.fom </dev/null >/dev/null || fail "rovantctl defaults"
spawn "$wine" "$build/sim/rovant-monitor-sim.exe" --state printer.fom </dev/null >monitor.out 2>&1
wait_until 30 grep -qs '^monitoring ' monitor.out || fail "the monitor did not start: $(cat monitor.out)"
probe() {  # PROGRAM PRINTER|-: the runs, then their median
  "$wine" "$build/bench/startup_probe.exe" "$@" "$runs" </dev/null | tee probe.txt
  grep -o '[0-9]* ms' probe.txt | sort -n |
    awk '{a[NR]=$1} END {print "median:", a[int((NR+1)/2)], "ms of", NR, "runs"}'
}
probe "$(winepath -w "$build/ui/rovant.exe" 2>/dev/null)" "HX320 on LPT1"
echo "baseline: Wine's notepad.exe, start to its window"
probe 'C:\windows\system32\notepad.exe' -
