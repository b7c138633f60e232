#!/usr/bin/env bash
# GUI tests of dirtree.exe: starts its own Xvfb display and a private Wine
# prefix, runs the checks of gui_checks.py against the window with real key
# and mouse events, and always takes Wine and Xvfb down again.
#   run_gui_tests.sh --exe dirtree.exe [--hook-exe dirtree-testhook.exe]
#                    --inspect gui_inspect.exe --cli dirtree-cli.exe --out FOLDER
#                    [--locale zh_CN.UTF-8|C.UTF-8]
# The prefix is FOLDER/wineprefix unless DIRTREE_GUI_WINEPREFIX names one; it
# must not be shared with other Wine runs, since the end kills its wineserver.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

args=("$@") out=
while (($#)); do
  case $1 in
    --out) out=$2; shift 2 ;;
    *) shift ;;
  esac
done
[[ -n $out ]] || { echo "run_gui_tests.sh: --out is required" >&2; exit 2; }
mkdir -p "$out"

for tool in Xvfb xdotool import identify wine wineserver python3; do
  command -v "$tool" >/dev/null || { echo "run_gui_tests.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

export DIRTREE_WINEPREFIX=${DIRTREE_GUI_WINEPREFIX:-$out/wineprefix}
xvfb_pid= checks_pid=

cleanup() {
  [[ -n $checks_pid ]] && kill "$checks_pid" 2>/dev/null
  WINEPREFIX=$DIRTREE_WINEPREFIX timeout 30 wineserver -k >/dev/null 2>&1
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Whether our Xvfb owns the display: the lock file names the server's pid.
owns_display() {
  local owner=
  [[ -e /tmp/.X11-unix/X$1 ]] && read -r owner <"/tmp/.X$1-lock" 2>/dev/null && ((owner == xvfb_pid))
}

# The first free display from :90 on. Xvfb refuses a display whose lock is
# taken, so a race with another run only moves this one further on.
for ((display = 90; display < 190; display++)); do
  [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]] && continue
  Xvfb ":$display" -screen 0 1366x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for ((tries = 0; tries < 100; tries++)); do
    owns_display "$display" && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if owns_display "$display" && kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "run_gui_tests.sh: no Xvfb display could be started" >&2; exit 1; }
export DISPLAY=:$display
echo "display $DISPLAY, prefix $DIRTREE_WINEPREFIX"

# A prefix left by an interrupted run may still have a wineserver on
# another display.
WINEPREFIX=$DIRTREE_WINEPREFIX timeout 30 wineserver -k >/dev/null 2>&1
timeout 120 "$here/../../scripts/wine-prefix" || { echo "run_gui_tests.sh: the Wine prefix cannot be made" >&2; exit 1; }
# One wineserver for the whole run, its output in a file: started by a
# check's process instead, it would inherit that process's pipes.
WINEPREFIX=$DIRTREE_WINEPREFIX wineserver -p >"$out/wineserver.log" 2>&1 </dev/null

# In the background, so that a signal to this script is acted on at once.
timeout --kill-after=10 300 python3 "$here/gui_checks.py" "${args[@]}" &
checks_pid=$!
wait "$checks_pid"
status=$?
checks_pid=
((status == 124)) && echo "run_gui_tests.sh: the checks ran out of time"
exit "$status"
