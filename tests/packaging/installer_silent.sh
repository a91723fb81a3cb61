#!/usr/bin/env bash
# installer_silent.sh WINE_RUN INSTALLER VERSION WORKDIR: the x86_64 installer, silent, into
# C:\RovantTest in this build's Wine prefix: the three files (byte for byte against the installer's
# staging folder when it is beside the installer), the Start menu shortcuts and the uninstall entry
# in the 64-bit registry view (not under WOW6432Node); then the silent uninstaller removes them.
set -u
wine_run=$1 installer=$2 version=$3 work=$4

target='C:\RovantTest'
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ROVANT'
wow_key='HKLM\Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\ROVANT'
menu='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\ROVANT'
stage="$(dirname "$installer")/stage/ROVANT"
files=(rovant.exe ROVANT.CHM SxJcp32.dll)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work" && mkdir -p "$work" || exit 1
# Wine's menu builder mirrors Start menu shortcuts into the XDG menus: keep those in the work folder.
export XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config"

[ -f "$installer" ] || { echo "FAIL: no installer $installer"; exit 1; }

# winepath's answer, asked up to three times (a Wine start can fail while other tests start theirs);
# its last complaint in $work/winepath.err.
unix_path() {
  local path
  for _ in 1 2 3; do
    path=$("$wine_run" winepath -u "$1" 2>"$work/winepath.err" | tr -d '\r' | head -n 1)
    [ -n "$path" ] && { echo "$path"; return; }
    sleep 1
  done
}
# reg query's output without the CRs; its exit status (1: no such key).
reg_query() { "$wine_run" reg query "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

dir=$(unix_path "$target")
menu_dir=$(unix_path "$menu")
[ -n "$dir" ] && [ -n "$menu_dir" ] ||
  { echo "FAIL: winepath cannot map the test folders: $(cat "$work/winepath.err")"; exit 1; }

# Left over from an interrupted run.
rm -rf "$dir" "$menu_dir"
"$wine_run" reg delete "$key" /f >/dev/null 2>&1
"$wine_run" reg delete "$wow_key" /f >/dev/null 2>&1

"$wine_run" "$installer" /S "/D=$target" || fail "the installer exited with $?"
for f in "${files[@]}" Uninstall.exe; do
  [ -f "$dir/$f" ] || fail "$target\\$f missing after installing"
done
for f in "${files[@]}"; do
  [ ! -d "$stage" ] || cmp -s "$stage/$f" "$dir/$f" || fail "installed $f differs from the packaged one"
done
for l in "ROVANT.lnk" "ROVANT Help.lnk"; do
  [ -f "$menu_dir/$l" ] || fail "no Start menu shortcut $menu\\$l"
done

if reg_query "$key" >"$work/key.txt"; then
  # Each REG_SZ as reg query writes it: "    Name    REG_SZ    Value".
  for pair in "DisplayName=ROVANT" "DisplayVersion=$version" "Publisher=ROVANT developers" \
    "UninstallString=\"$target\\Uninstall.exe\"" "QuietUninstallString=\"$target\\Uninstall.exe\" /S"; do
    got=$(sed -n "s/^ *${pair%%=*} *REG_[A-Z_]* *//p" "$work/key.txt" | head -n 1)
    [ "$got" = "${pair#*=}" ] || fail "${pair%%=*} is '$got', wanted '${pair#*=}'"
  done
else
  fail "no uninstall entry $key in the 64-bit registry view"
fi
reg_query "$wow_key" >/dev/null && fail "the uninstall entry went to the 32-bit view ($wow_key)"

# _?= runs the uninstaller in place and waits for it (otherwise it copies itself to %TEMP% and
# returns at once); in place it cannot delete itself, so Uninstall.exe and the folder stay.
"$wine_run" "$target\\Uninstall.exe" /S "_?=$target" || fail "the uninstaller exited with $?"
for f in "${files[@]}" "ROVANT.lnk" "ROVANT Help.lnk"; do
  [ ! -e "$dir/$f" ] && [ ! -e "$menu_dir/$f" ] || fail "$f still there after uninstalling"
done
[ -d "$menu_dir" ] && fail "Start menu folder ROVANT still there after uninstalling"
reg_query "$key" >/dev/null && fail "uninstall entry still there after uninstalling"

rm -rf "$dir"
[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "installer and uninstaller: all checks passed"
