#!/usr/bin/env bash
# shellcheck disable=SC2129  # one wineserver command per line reads better here
# run_e2e.sh --prefix DIR [--host] -- PROGRAM.exe [ARG...]: runs a Windows program under Wine
# with a real X display ($DISPLAY when an X server answers there, else Xvfb) in the Wine prefix
# DIR (created on first use, about a minute, and kept; X11 graphics only, as the null driver draws
# nothing), and shuts its wineserver down after. --host runs PROGRAM as a host command (a script
# that starts Windows programs with wine64) in that session. Exit status: the program's, or 125
# when Wine or X cannot be set up.
set -u

prefix='' host=0
while [[ $# -gt 0 ]]; do
  case $1 in
    --prefix) prefix=$2; shift 2 ;;
    --host) host=1; shift ;;
    --) shift; break ;;
    *) echo "run_e2e.sh: unknown option $1" >&2; exit 125 ;;
  esac
done
[[ -n $prefix && $# -gt 0 ]] || { echo "usage: run_e2e.sh --prefix DIR -- PROGRAM [ARG...]" >&2; exit 125; }

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[[ -x $wine && -x $wineserver ]] || { echo "run_e2e.sh: wine64 is not installed" >&2; exit 125; }

# An X server answers on $DISPLAY: its socket exists (local displays only).
display_usable() {
  case "${DISPLAY:-}" in
    :*) local n=${DISPLAY#:}; n=${n%%.*}; [[ -S /tmp/.X11-unix/X$n ]] ;;
    *) return 1 ;;
  esac
}

if [[ ${ROVANT_E2E_INSIDE_X:-} != 1 ]] && ! display_usable; then
  command -v xvfb-run >/dev/null || { echo "run_e2e.sh: no DISPLAY and no xvfb-run (package xvfb)" >&2; exit 125; }
  args=(--prefix "$prefix")
  [[ $host == 1 ]] && args+=(--host)
  ROVANT_E2E_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "${args[@]}" -- "$@"
fi

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
log=$prefix.log
mkdir -p "$prefix"

shutdown() {
  "$wineserver" -k </dev/null >>"$log" 2>&1
  "$wineserver" -w </dev/null >>"$log" 2>&1
}
# A persistent wineserver and a booted prefix; false, with a word on standard error, if not.
boot() {
  "$wineserver" -p </dev/null >>"$log" 2>&1 || { echo "run_e2e.sh: wineserver failed, see $log" >&2; return 1; }
  "$wine" wineboot </dev/null >>"$log" 2>&1 || { echo "run_e2e.sh: wineboot failed, see $log" >&2; return 1; }
}
# A wineserver left from an earlier run may hold a display that has gone: start afresh.
shutdown
boot || exit 125
trap shutdown EXIT
# X11 graphics only, as the null driver draws nothing. Our Xvfb has no window manager: windows
# that expect one wait up to 2 s for it whenever they are hidden, so there they are unmanaged; on
# the user's own display the window manager frames them. The desktop chose its driver when it
# booted: it boots again after a change.
managed=Y
[[ ${ROVANT_E2E_INSIDE_X:-} == 1 ]] && managed=N
if [[ $(cat "$prefix/.rovant-x11" 2>/dev/null) != "$managed" ]]; then
  { "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f &&
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f; } </dev/null >>"$log" 2>&1 ||
    { echo "run_e2e.sh: cannot set the X11 driver, see $log" >&2; exit 125; }
  echo "$managed" >"$prefix/.rovant-x11"
  shutdown
  boot || exit 125
fi

echo "run_e2e.sh: DISPLAY=$DISPLAY prefix=$prefix" >&2
if [[ $host == 1 ]]; then
  "$@" </dev/null
else
  "$wine" "$@" </dev/null
fi
