#!/usr/bin/env bash
# Fleet timings against simulated HX320s on loopback (not a test: it prints figures): fleet apply
# of a profile that changes three items on N printers vs one printer, fleet check of N vs one
# 'rovantctl read'. Each figure is the median wall time of RUNS runs (GNU time) with rovantctl's
# peak resident memory; each apply starts from fresh simulated memories, so every printer really
# takes the three items.
# Usage: fleet_bench.sh SIM ROVANTCTL [N=200] [RUNS=3]
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") count=${3:-200} runs=${4:-3} work=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/../tests/scenario_lib.sh"
fresh_work "$work"
trap 'stop; rm -rf "$work"' EXIT
printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\nMENU2.PITCH: 15 CPI\n' >profile.yaml

fresh_fleet() {  # N: a fresh simulated fleet and its inventory
  stop
  rm -rf state && mkdir state && start_fleet "$sim" "$1" 3600 --state-dir state && inventory >inv.yaml
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
measure() {  # LABEL COMMAND...: median seconds and peak memory over the runs
  local times=() mems=() i t m
  for ((i = 0; i < runs; i++)); do
    [[ $1 == apply* ]] && fresh_fleet "${1##* }"
    /usr/bin/time -f '%e %M' -o time "${@:2}" >out 2>/dev/null
    read -r t m < <(tail -1 time)
    times+=("$t") mems+=("$m")
  done
  printf '%-14s median %6.2f s  peak %6d kB  (runs: %s)\n' "$1" "$(median "${times[@]}")" \
    "$(median "${mems[@]}")" "${times[*]}"
}

measure "apply 1" "$ctl" fleet apply --inventory inv.yaml profile.yaml --json --audit audit.jsonl
measure "apply $count" "$ctl" fleet apply --inventory inv.yaml profile.yaml --json --audit audit.jsonl
echo "  printers applied in the last run: $(grep -c '"result":"applied"' out)"
measure "check $count" "$ctl" fleet check --inventory inv.yaml profile.yaml --json
fresh_fleet 1
measure "read 1" "$ctl" read --printer "tcp://127.0.0.1:${ports[0]}"
