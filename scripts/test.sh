#!/usr/bin/env bash
# The one test command: installs dependencies, checks formatting, then configures, builds and
# tests every preset (mingw32, the shipped 32-bit build that wine64 cannot run: configure, build and
# check its packages). Stops at the first failure.
# Logs: build/logs/. Last line: "N passed, 0 failed" (N = ctest tests passed over all presets).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

TEST_PRESETS=(linux linux-asan mingw64 fuzz)
BUILD_ONLY_PRESETS=(mingw32)

LOGDIR=build/logs
STAGE=""
TIMES=()
T0=$SECONDS

banner() {
  printf '\n========== %s ==========\n' "$*"
}

on_exit() {
  local rc=$?
  if [ $rc -ne 0 ]; then
    printf '\n========== FAILED: %s (exit %d) ==========\n' "${STAGE:-setup}" "$rc" >&2
    [ -d "$LOGDIR" ] && echo "logs: $LOGDIR" >&2
  fi
}
trap on_exit EXIT

# run_stage NAME LOGFILE COMMAND...   (the command's output goes to the terminal and the log)
run_stage() {
  local name=$1 log=$2
  shift 2
  STAGE=$name
  banner "$name"
  local start=$SECONDS
  "$@" 2>&1 | tee "$log"
  TIMES+=("$(printf '%-28s %5ds' "$name" $((SECONDS - start)))")
}

mkdir -p "$LOGDIR"
run_stage "install dependencies" "$LOGDIR/install-deps.log" bash scripts/install-deps.sh
run_stage "format check" "$LOGDIR/format.log" bash scripts/format.sh --check

for p in "${TEST_PRESETS[@]}" "${BUILD_ONLY_PRESETS[@]}"; do
  run_stage "$p: configure" "$LOGDIR/$p-configure.log" cmake --preset "$p"
  run_stage "$p: build" "$LOGDIR/$p-build.log" cmake --build --preset "$p"
  if [[ " ${TEST_PRESETS[*]} " == *" $p "* ]]; then
    run_stage "$p: test" "$LOGDIR/$p-ctest.log" ctest --preset "$p"
  fi
done
# The shipped installer and zip are built and their contents checked.
run_stage "mingw32: packages" "$LOGDIR/mingw32-ctest.log" \
  ctest --test-dir build/mingw32 -L packaging --output-on-failure
STAGE="summary"

# ctest ends with e.g. "100% tests passed, 0 tests failed out of 42".
passed=0
failed=0
for p in "${TEST_PRESETS[@]}" mingw32; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$LOGDIR/$p-ctest.log" | tail -n 1 || true)
  if [ -z "$line" ]; then
    echo "no ctest summary for preset $p" >&2
    exit 1
  fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  nfail=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  echo "$p: $((total - nfail)) of $total ctest tests passed"
  passed=$((passed + total - nfail))
  failed=$((failed + nfail))
done

banner "times"
printf '%s\n' "${TIMES[@]}"
printf '%-28s %5ds\n' "total" $((SECONDS - T0))
shots=build/mingw64/screenshots
[ -d "$shots" ] && echo "end-to-end pictures: $shots ($(find "$shots" -name '*.png' | wc -l) files)"
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
