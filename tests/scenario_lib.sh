# Sourced by the end-to-end scenario scripts: failing with the evidence, checks on commands and
# output files, a fresh working folder, background programs, and a simulated fleet on loopback.
fail() { echo "FAIL: $*" >&2; exit 1; }
has() { grep -q -- "$2" "$1" || fail "$1 lacks '$2': $(cat "$1")"; }  # FILE REGEX
lines() { [[ $(wc -l <"$1") == "$2" ]] || fail "$1 is not $2 lines: $(cat "$1")"; }  # FILE N
# fresh_work DIR [SUBFOLDER...]: DIR emptied, its subfolders made, and DIR the working folder.
fresh_work() { rm -rf "$1" && mkdir -p "$1" && cd "$1" && mkdir -p . "${@:2}" || exit 1; }
# exits STATUS NAME COMMAND...: COMMAND, its output in NAME.out and NAME.err, ends with STATUS.
exits() {
  "${@:3}" >"$2.out" 2>"$2.err"
  local rc=$?
  [[ $rc == "$1" ]] || fail "$2: exit status $rc, not $1: $(cat "$2.out" "$2.err")"
}
# within MS STATUS NAME COMMAND...: as exits, done within MS milliseconds (printed).
within() {
  local start=${EPOCHREALTIME/./} ms
  exits "${@:2}"
  ms=$(((${EPOCHREALTIME/./} - start) / 1000))
  echo "$3 (${*:4}): $ms ms"
  ((ms < $1)) || fail "$3 took $ms ms, not under $1"
}
# wait_until SECONDS COMMAND...: COMMAND polled until it succeeds; fails after SECONDS.
wait_until() {
  for _ in $(seq $(($1 * 10))); do "${@:2}" && return; sleep 0.1; done
  return 1
}

# spawn COMMAND...: in the background until stop (or the script's end) ends it.
pids=()
spawn() { "$@" & pids+=($!); }
stop() {
  ((${#pids[@]})) || return 0
  kill "${pids[@]}" 2>/dev/null
  wait "${pids[@]}" 2>/dev/null
  pids=()
}
trap stop EXIT

# start_fleet SIM COUNT SECONDS [ARGS...]: rovant-printer-sim --listen-many with COUNT printers for
# at most SECONDS; `ports` lists their ports. inventory writes them as p0..: p<i> in group g<i % 2>.
start_fleet() {
  spawn timeout "$3" "$1" --listen-many 127.0.0.1:0 --count "$2" "${@:4}" >sim.out 2>sim.err
  wait_until 10 listed "$2"
  mapfile -t ports < <(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' sim.out)
  [[ ${#ports[@]} == "$2" ]] || fail "the simulator did not list $2 printers: $(cat sim.out sim.err)"
}
listed() { [[ $(grep -c '^listening on' sim.out) == "$1" ]]; }
inventory() {
  local i
  echo "printers:"
  for i in "${!ports[@]}"; do
    echo "  - {name: p$i, printer: \"tcp://127.0.0.1:${ports[$i]}\", groups: [g$((i % 2))]}"
  done
}
