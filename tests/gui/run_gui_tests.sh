#!/usr/bin/env bash
# GUI tests of dirtree.exe: starts its own Xvfb display and a private Wine
# prefix, runs the checks of gui_checks.py against the window with real key
# and mouse events, and always takes Wine and Xvfb down again.
#   run_gui_tests.sh --exe dirtree.exe [--hook-exe dirtree-testhook.exe]
#                    --inspect gui_inspect.exe --cli dirtree-cli.exe --out FOLDER
#                    [--locale zh_CN.UTF-8|C.UTF-8] [--deadline SECONDS]
# The prefix is FOLDER/wineprefix unless DIRTREE_GUI_WINEPREFIX names one; it
# must not be shared with other Wine runs, since the end kills its wineserver.
# --deadline (default 480) bounds the whole run, set-up included; taking Wine
# and Xvfb down afterwards needs at most another minute, so a caller's own
# time limit must leave that much room beyond it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

out= deadline=480 forward=()
while (($#)); do
  case $1 in
    # Absolute: the checks start programs from other current folders.
    --out) out=$(realpath -m -- "$2"); forward+=(--out "$out"); shift 2 ;;
    --deadline) deadline=$2; shift 2 ;;
    *) forward+=("$1"); shift ;;
  esac
done
[[ -n $out ]] || { echo "run_gui_tests.sh: --out is required" >&2; exit 2; }
[[ $deadline =~ ^[0-9]+$ ]] || { echo "run_gui_tests.sh: --deadline takes whole seconds" >&2; exit 2; }
ends_at=$((SECONDS + deadline))
mkdir -p "$out"

for tool in Xvfb xdotool import identify wine wineserver python3 setsid realpath; do
  command -v "$tool" >/dev/null || { echo "run_gui_tests.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 2; }
done

DIRTREE_WINEPREFIX=$(realpath -m -- "${DIRTREE_GUI_WINEPREFIX:-$out/wineprefix}")
export DIRTREE_WINEPREFIX
xvfb_pid= step_pid= guard_pid=

# Runs one step in the background, so that a signal to this script is acted
# on at once and not when the step ends, and bounds it by LIMIT seconds and
# by the time left before the deadline.
bounded() {
  local limit=$1 left=$((ends_at - SECONDS))
  shift
  ((left < limit)) && limit=$left
  if ((limit <= 0)); then
    echo "run_gui_tests.sh: out of time before $1" >&2
    return 124
  fi
  timeout --kill-after=10 "$limit" "$@" &
  step_pid=$!
  wait "$step_pid"
  local status=$?
  step_pid=
  return "$status"
}

# Kills a process started here and waits up to five seconds for it to go,
# then kills it outright.
stop() {
  local pid=$1 tries
  kill "$pid" 2>/dev/null || return 0
  for ((tries = 0; tries < 50; tries++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

stop_wine() {
  WINEPREFIX=$DIRTREE_WINEPREFIX timeout 20 wineserver -k >/dev/null 2>&1
  WINEPREFIX=$DIRTREE_WINEPREFIX timeout 10 wineserver -w >/dev/null 2>&1
}

cleanup() {
  trap '' INT TERM  # the cleanup itself is not cut short
  [[ -n $guard_pid ]] && kill "$guard_pid" 2>/dev/null
  # timeout passes the signal on to the step and everything it started.
  [[ -n $step_pid ]] && stop "$step_pid"
  stop_wine
  [[ -n $xvfb_pid ]] && stop "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A kill that no trap sees (SIGKILL, which is how ctest ends a test that ran
# out of time) would leave the daemonised wineserver running, and Xvfb too if
# only this script was killed. A guard outside this script's process tree
# waits for the script to go and then takes both down; the cleanup above
# ends the guard first, by its id, and does the work itself.
start_guard() {
  guard_pid=$(setsid bash -c '
    while kill -0 "$1" 2>/dev/null; do sleep 1; done
    WINEPREFIX=$2 timeout 20 wineserver -k
    [[ $(cat "/proc/$3/comm" 2>/dev/null) == Xvfb ]] && kill "$3"
  ' guard "$$" "$DIRTREE_WINEPREFIX" "$xvfb_pid" </dev/null >/dev/null 2>&1 & echo $!)
}

# Whether our Xvfb owns the display: the lock file names the server's pid.
owns_display() {
  local owner=
  [[ -e /tmp/.X11-unix/X$1 ]] && read -r owner <"/tmp/.X$1-lock" 2>/dev/null && ((owner == xvfb_pid))
}

# The first free display from :90 on. Xvfb refuses a display whose lock is
# taken, so a race with another run only moves this one further on.
for ((display = 90; display < 190 && SECONDS < ends_at; display++)); do
  [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]] && continue
  Xvfb ":$display" -screen 0 1366x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for ((tries = 0; tries < 100; tries++)); do
    owns_display "$display" && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if owns_display "$display" && kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  stop "$xvfb_pid"
  xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "run_gui_tests.sh: no Xvfb display could be started" >&2; exit 1; }
export DISPLAY=:$display
start_guard
echo "display $DISPLAY, prefix $DIRTREE_WINEPREFIX, deadline ${deadline}s"

# A prefix left by an interrupted run may still have a wineserver on
# another display.
bounded 30 env WINEPREFIX="$DIRTREE_WINEPREFIX" wineserver -k >/dev/null 2>&1
bounded 300 "$here/../../scripts/wine-prefix" || { echo "run_gui_tests.sh: the Wine prefix cannot be made" >&2; exit 1; }
# One wineserver for the whole run, its output in a file: started by a
# check's process instead, it would inherit that process's pipes.
WINEPREFIX=$DIRTREE_WINEPREFIX wineserver -p >"$out/wineserver.log" 2>&1 </dev/null

bounded "$deadline" python3 "$here/gui_checks.py" "${forward[@]}"
status=$?
((status == 124 || status == 137)) && echo "run_gui_tests.sh: the checks ran out of time (deadline ${deadline}s)"
exit "$status"
