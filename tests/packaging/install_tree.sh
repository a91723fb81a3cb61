#!/usr/bin/env bash
# cmake --install of a Linux build into a temporary prefix:
#
#   install_tree.sh BUILD_DIR WORKDIR PYTHON MAN_COVERAGE_PY
#
# Checks that exactly the two programs and their man pages are installed (bin/, share/man/man1/),
# that the installed programs run, that groff renders the pages without a warning and man -l
# without an error, and (man_coverage.py) that the pages cover the programs' --help.
set -u
build=$1 work=$2 python=$3 coverage=$4
prefix="$work/prefix" man="$work/prefix/share/man/man1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work" && mkdir -p "$work" || exit 1

cmake --install "$build" --prefix "$prefix" || { echo "FAIL: cmake --install failed"; exit 1; }
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' bin/rovant-printer-sim bin/rovantctl share/man/man1/rovant-printer-sim.1 \
  share/man/man1/rovantctl.1)
[ "$actual" == "$wanted" ] || fail "installed files differ: $(diff <(echo "$wanted") <(echo "$actual"))"

export MANWIDTH=80 MAN_KEEP_FORMATTING=0 LC_ALL=C.UTF-8
for p in rovantctl rovant-printer-sim; do
  "$prefix/bin/$p" --help >/dev/null 2>&1 || fail "the installed $p does not run (--help)"
  [ -f "$man/$p.1" ] || continue
  for device in -z -Tutf8; do
    warnings=$(groff -ww $device -man "$man/$p.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "groff $device warns on $p.1:"$'\n'"$warnings"
  done
  if command -v man >/dev/null 2>&1; then
    man -l "$man/$p.1" >"$work/$p.man.txt" 2>"$work/$p.man.err" && [ ! -s "$work/$p.man.err" ] &&
      grep -q "$p" "$work/$p.man.txt" || fail "man -l $p.1: $(cat "$work/$p.man.err")"
  fi
done

"$python" "$coverage" --rovantctl "$prefix/bin/rovantctl" --rovantctl-page "$man/rovantctl.1" \
  --sim "$prefix/bin/rovant-printer-sim" --sim-page "$man/rovant-printer-sim.1" ||
  fail "the man pages do not cover the programs' --help"
[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "install tree: all checks passed"
