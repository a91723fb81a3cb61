#!/usr/bin/env bash
# Fleet timings against simulated HX320s on loopback (not a test: it prints figures).
#   fleet apply of a profile that changes three items: N printers vs one printer
#   fleet check: N printers vs one 'rovantctl read'
# Each figure is the median wall time of RUNS runs (GNU time -v), with rovantctl's
# peak resident memory. Each apply starts from fresh simulated memories, so
# every printer really takes the three items.
# Usage: fleet_bench.sh SIM ROVANTCTL [N=200] [RUNS=3]
set -u
sim=$(realpath "$1") ctl=$(realpath "$2") count=${3:-200} runs=${4:-3}
work=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/../tests/scenario_lib.sh"
cd "$work" || exit 1
trap 'stop_fleet; rm -rf "$work"' EXIT
printf 'MENU1.PITCH: 12 CPI\nCONFIG.LOCK: SETUP\nMENU2.PITCH: 15 CPI\n' >"$work/profile.yaml"

fresh_fleet() {  # N: a fresh simulated fleet and its inventory
  stop_fleet
  rm -rf state && mkdir state && start_fleet "$sim" "$1" 3600 --state-dir state
  { echo "printers:"
    for i in "${!ports[@]}"; do echo "  - {name: p$i, printer: \"tcp://127.0.0.1:${ports[$i]}\"}"; done
  } >"$work/inv.yaml"
}

measure() {  # LABEL COMMAND...: median seconds and peak memory over the runs
  local label=$1 times=() mems=() i
  shift
  for ((i = 0; i < runs; i++)); do
    [[ $label == apply* ]] && fresh_fleet "${label##* }"
    /usr/bin/time -v -o "$work/time" "$@" >"$work/out" 2>/dev/null
    times+=("$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): \(.*\)/\1/p' "$work/time" |
      awk -F: '{print ($1 * 60) + $2}')")
    mems+=("$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")")
  done
  printf '%-14s median %6.2f s  peak %6d kB  (runs: %s)\n' "$label" \
    "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" \
    "$(printf '%s\n' "${mems[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" "${times[*]}"
}

measure "apply 1" "$ctl" fleet apply --inventory "$work/inv.yaml" "$work/profile.yaml" --json --audit "$work/audit.jsonl"
measure "apply $count" "$ctl" fleet apply --inventory "$work/inv.yaml" "$work/profile.yaml" --json --audit "$work/audit.jsonl"
grep -c '"result":"applied"' "$work/out" | sed 's/^/  printers applied in the last run: /'
measure "check $count" "$ctl" fleet check --inventory "$work/inv.yaml" "$work/profile.yaml" --json
fresh_fleet 1
measure "read 1" "$ctl" read --printer "$(sed -n 's/.*printer: "\(.*\)".*/\1/p' "$work/inv.yaml")"
