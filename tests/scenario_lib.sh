# Sourced by the end-to-end scenario scripts: failing with the evidence, checks on output files, a
# fresh working folder, and a simulated fleet on loopback.
fail() { echo "FAIL: $*" >&2; exit 1; }
has() { grep -q -- "$2" "$1" || fail "$1 lacks '$2': $(cat "$1")"; }  # FILE REGEX
lines() { [[ $(wc -l <"$1") == "$2" ]] || fail "$1 is not $2 lines: $(cat "$1")"; }  # FILE N
# fresh_work DIR [SUBFOLDER...]: DIR emptied, its subfolders made, and DIR the working folder.
fresh_work() { rm -rf "$1" && mkdir -p "$1" && cd "$1" && mkdir -p . "${@:2}" || exit 1; }

# start_fleet SIM COUNT SECONDS [ARGS...]: rovant-printer-sim --listen-many with COUNT printers in
# the background for at most SECONDS (stop_fleet ends it, and on exit); `ports` lists their ports.
sim_pid=
stop_fleet() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  sim_pid=
}
trap stop_fleet EXIT
start_fleet() {
  timeout "$3" "$1" --listen-many 127.0.0.1:0 --count "$2" "${@:4}" >sim.out 2>sim.err &
  sim_pid=$!
  for _ in $(seq 100); do
    [[ $(grep -c '^listening on' sim.out) == "$2" ]] && break
    sleep 0.1
  done
  mapfile -t ports < <(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' sim.out)
  [[ ${#ports[@]} == "$2" ]] ||
    fail "the simulator did not list $2 printers: $(cat sim.out sim.err)"
}
