#!/usr/bin/env bash
# The one test command: installs dependencies, checks formatting and that test code stays at most
# a third of the repository (scripts/code_share.py), then configures, builds and tests each
# configuration CI needs:
#   linux-asan  every native test, under AddressSanitizer and UndefinedBehaviorSanitizer
#   mingw64     the x86_64 Windows build: its tests and end-to-end scenarios under Wine
#   fuzz        the libFuzzer targets, each a short fixed-seed run (clang)
#   mingw32     the shipped i686 build, which wine64 cannot run: built, its files and packages checked
# (The optimised `linux` preset, with the benchmarks, is for development: README, "Building by hand".)
# Logs: build/logs/. Last line: "N passed, 0 failed" (N = ctest tests passed over all presets).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

LOGDIR=build/logs STAGE="" TIMES=() T0=$SECONDS BACKGROUND_PID=""

banner() { printf '\n========== %s ==========\n' "$*"; }

on_exit() {
  local rc=$?
  [ -n "$BACKGROUND_PID" ] && kill -- "-$BACKGROUND_PID" 2>/dev/null
  [ $rc -eq 0 ] || printf '\n========== FAILED: %s (exit %d) ==========\nlogs: %s\n' \
    "${STAGE:-setup}" "$rc" "$LOGDIR" >&2
}
trap on_exit EXIT

# run_stage NAME LOGFILE COMMAND...: the command's output to the terminal and the log.
run_stage() {
  local name=$1 log=$2 start=$SECONDS
  shift 2
  STAGE=$name
  banner "$name"
  "$@" 2>&1 | tee "$log"
  TIMES+=("$(printf '%-28s %5ds' "$name" $((SECONDS - start)))")
}

NICE=()
configure_and_build() {
  run_stage "$1: configure" "$LOGDIR/$1-configure.log" cmake --preset "$1"
  run_stage "$1: build" "$LOGDIR/$1-build.log" "${NICE[@]}" cmake --build --preset "$1"
}

mkdir -p "$LOGDIR"
run_stage "install dependencies" "$LOGDIR/install-deps.log" bash scripts/install-deps.sh
run_stage "format check" "$LOGDIR/format.log" bash scripts/format.sh --check
run_stage "test code share" "$LOGDIR/code-share.log" python3 scripts/code_share.py --max 0.33

# PRESET's tests in their own process group (so that a failure elsewhere stops them too).
background_tests() {
  banner "$1: test (in the background; log $LOGDIR/$1-ctest.log)"
  BACKGROUND_NAME=$1 BACKGROUND_START=$SECONDS
  set -m
  ctest --preset "$1" >"$LOGDIR/$1-ctest.log" 2>&1 &
  BACKGROUND_PID=$!
  set +m
}

finish_background() {
  STAGE="$BACKGROUND_NAME: test"
  banner "$STAGE"
  local rc=0
  wait "$BACKGROUND_PID" || rc=$?
  BACKGROUND_PID=""
  cat "$LOGDIR/$BACKGROUND_NAME-ctest.log"
  TIMES+=("$(printf '%-28s %5ds' "$STAGE (background)" $((SECONDS - BACKGROUND_START)))")
  [ "$rc" -eq 0 ] || exit "$rc"
}

# Tests wait on the printer protocol's fixed times (the scripts natively, nearly everything under
# Wine): each preset's tests run in the background while the next builds use the processors, at a
# lower priority, so the programs under test keep their pace.
configure_and_build linux-asan
background_tests linux-asan
NICE=(nice -n 10)
configure_and_build mingw64
finish_background

background_tests mingw64
configure_and_build fuzz
run_stage "fuzz: test" "$LOGDIR/fuzz-ctest.log" "${NICE[@]}" ctest --preset fuzz
configure_and_build mingw32
run_stage "mingw32: packages" "$LOGDIR/mingw32-ctest.log" \
  ctest --test-dir build/mingw32 -L packaging --output-on-failure
finish_background
STAGE="summary"

# ctest ends with e.g. "100% tests passed, 0 tests failed out of 42".
passed=0 failed=0
for p in linux-asan mingw64 fuzz mingw32; do
  read -r nfail total <<<"$(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' \
    "$LOGDIR/$p-ctest.log" | tail -n 1)"
  [ -n "$total" ] || { echo "no ctest summary for preset $p" >&2; exit 1; }
  echo "$p: $((total - nfail)) of $total ctest tests passed"
  passed=$((passed + total - nfail))
  failed=$((failed + nfail))
done

banner "times"
printf '%s\n' "${TIMES[@]}"
printf '%-28s %5ds\n' "total" $((SECONDS - T0))
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
