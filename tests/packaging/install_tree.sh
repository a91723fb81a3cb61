#!/usr/bin/env bash
# cmake --install of a Linux build into a temporary prefix:
#
#   install_tree.sh BUILD_DIR WORKDIR PYTHON MAN_COVERAGE_PY
#
# Checks that exactly the two programs and their man pages are installed (bin/, share/man/man1/),
# that the installed programs run, that groff renders the pages without a warning and man -l
# without an error, and (man_coverage.py) that the pages cover the programs' --help.
set -u

build=$1
work=$2
python=$3
coverage=$4
prefix="$work/prefix"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work" || exit 1

echo "== cmake --install $build --prefix $prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi
cat "$work/install.log"

expected=(bin/rovant-printer-sim bin/rovantctl share/man/man1/rovant-printer-sim.1 share/man/man1/rovantctl.1)
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected ones:"
  diff <(echo "$wanted") <(echo "$actual") | sed 's/^/    /'
fi

for p in rovantctl rovant-printer-sim; do
  exe="$prefix/bin/$p"
  if [ ! -x "$exe" ]; then
    fail "bin/$p is not an executable"
  elif ! "$exe" --help >/dev/null 2>&1; then
    fail "the installed $p does not run (--help)"
  fi
done

export MANWIDTH=80 MAN_KEEP_FORMATTING=0 LC_ALL=C.UTF-8
for page in rovantctl rovant-printer-sim; do
  file="$prefix/share/man/man1/$page.1"
  [ -f "$file" ] || continue
  warnings=$(groff -ww -z -man "$file" 2>&1)
  [ -z "$warnings" ] || fail "groff warns on $page.1:"$'\n'"$warnings"
  warnings=$(groff -ww -man -Tutf8 "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "groff -Tutf8 warns on $page.1:"$'\n'"$warnings"
  if command -v man >/dev/null 2>&1; then
    if ! man -l "$file" >"$work/$page.man.txt" 2>"$work/$page.man.err" || [ -s "$work/$page.man.err" ]; then
      fail "man -l $page.1 failed: $(cat "$work/$page.man.err")"
    elif ! grep -q "$page" "$work/$page.man.txt"; then
      fail "man -l $page.1 rendered nothing useful"
    fi
  fi
done

if ! "$python" "$coverage" --rovantctl "$prefix/bin/rovantctl" \
     --rovantctl-page "$prefix/share/man/man1/rovantctl.1" \
     --sim "$prefix/bin/rovant-printer-sim" \
     --sim-page "$prefix/share/man/man1/rovant-printer-sim.1"; then
  fail "the man pages do not cover the programs' --help"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install tree: all checks passed"
