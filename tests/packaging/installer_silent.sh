#!/usr/bin/env bash
# The x86_64 installer and its uninstaller, both silent, in this build's Wine prefix:
#
#   installer_silent.sh WINE_RUN INSTALLER VERSION WORKDIR
#
# Installs into C:\RovantTest with /S /D=..., then checks the three files (byte for byte against
# the installer's staging folder when it is beside the installer), the Start menu shortcuts and the
# uninstall entry in the 64-bit registry view (and not under WOW6432Node); runs the uninstaller
# silently and checks that the files, the shortcuts and the entry are gone.
set -u

wine_run=$1
installer=$2
version=$3
work=$4

target='C:\RovantTest'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ROVANT'
wow_key='HKLM\Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\ROVANT'
menu='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\ROVANT'
stage="$(dirname "$installer")/stage/ROVANT"
files=(rovant.exe ROVANT.CHM SxJcp32.dll)

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
ok() {
  echo "ok: $*"
}

rm -rf "$work"
mkdir -p "$work" || exit 1
# Wine's menu builder mirrors Start menu shortcuts into the XDG menus: keep those in the work folder.
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"

[ -f "$installer" ] || { echo "FAIL: no installer $installer"; exit 1; }

unix_path() {
  "$wine_run" winepath -u "$1" 2>/dev/null | tr -d '\r' | head -n 1
}
# reg query's output without the CRs; its exit status (1: no such key).
reg_query() {
  local out rc
  out=$("$wine_run" reg query "$@" 2>/dev/null)
  rc=$?
  printf '%s\n' "$out" | tr -d '\r'
  return $rc
}
# The value of one REG_SZ in the output of reg query: "    Name    REG_SZ    Value".
reg_value() {
  sed -n "s/^ *$1 *REG_[A-Z_]* *//p" "$work/key.txt" | head -n 1
}

dir=$(unix_path "$target")
menu_dir=$(unix_path "$menu")
[ -n "$dir" ] && [ -n "$menu_dir" ] || { echo "FAIL: winepath cannot map the test folders"; exit 1; }

# Left over from an interrupted run.
rm -rf "$dir" "$menu_dir"
"$wine_run" reg delete "$key" /f >/dev/null 2>&1
"$wine_run" reg delete "$wow_key" /f >/dev/null 2>&1

echo "== install: $(basename "$installer") /S /D=$target"
"$wine_run" "$installer" /S "/D=$target"
rc=$?
[ $rc -eq 0 ] || fail "the installer exited with $rc"

for f in "${files[@]}" Uninstall.exe; do
  if [ -f "$dir/$f" ]; then ok "installed $f"; else fail "$target\\$f missing after installing"; fi
done
if [ -d "$stage" ]; then
  for f in "${files[@]}"; do
    [ -f "$dir/$f" ] && { cmp -s "$stage/$f" "$dir/$f" || fail "installed $f differs from the packaged one"; }
  done
fi
for l in "ROVANT.lnk" "ROVANT Help.lnk"; do
  if [ -f "$menu_dir/$l" ]; then ok "Start menu shortcut $l"; else fail "no Start menu shortcut $menu\\$l"; fi
done

if reg_query "$key" >"$work/key.txt"; then
  ok "uninstall entry $key"
  cat "$work/key.txt"
  check_value() {
    local got
    got=$(reg_value "$1")
    if [ "$got" = "$2" ]; then ok "$1 = $got"; else fail "$1 is '$got', wanted '$2'"; fi
  }
  check_value DisplayName "ROVANT"
  check_value DisplayVersion "$version"
  check_value Publisher "ROVANT developers"
  check_value UninstallString "\"$target\\Uninstall.exe\""
  check_value QuietUninstallString "\"$target\\Uninstall.exe\" /S"
else
  fail "no uninstall entry $key in the 64-bit registry view"
fi
if reg_query "$wow_key" >/dev/null; then
  fail "the uninstall entry went to the 32-bit view ($wow_key)"
fi

echo "== uninstall: Uninstall.exe /S"
# _?= runs the uninstaller in place and waits for it (otherwise it copies itself to %TEMP% and
# returns at once); in place it cannot delete itself, so Uninstall.exe and the folder stay.
"$wine_run" "$target\\Uninstall.exe" /S "_?=$target"
rc=$?
[ $rc -eq 0 ] || fail "the uninstaller exited with $rc"

for f in "${files[@]}"; do
  if [ -e "$dir/$f" ]; then fail "$f still there after uninstalling"; else ok "removed $f"; fi
done
for l in "ROVANT.lnk" "ROVANT Help.lnk"; do
  [ -e "$menu_dir/$l" ] && fail "Start menu shortcut $l still there after uninstalling"
done
[ -d "$menu_dir" ] && fail "Start menu folder ROVANT still there after uninstalling"
if reg_query "$key" >/dev/null; then
  fail "uninstall entry still there after uninstalling"
else
  ok "uninstall entry removed"
fi

rm -rf "$dir"
if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installer and uninstaller: all checks passed"
