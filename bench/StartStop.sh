#!/usr/bin/env bash
# Times thermo4 from its start until its main window is mapped, and from the window manager's
# close (Alt+F4; no question is pending) until the process has ended, on a virtual 1600x1000
# X display with openbox (needs xvfb, openbox and xdotool).
# Usage: bench/StartStop.sh BUILD_DIR [RUNS] [PROGRAM ARGUMENTS...]   (default: --simulate)
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s '-screen 0 1600x1000x24' "$0" "$@"; fi
build=$(cd "$1" && pwd)
runs=${2:-5}
shift $(($# < 2 ? $# : 2))
[ $# -gt 0 ] || set -- --simulate
work=$(mktemp -d)
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    kill -0 "$wm" 2>/dev/null || { echo "openbox did not start on $DISPLAY" >&2; exit 1; }
    sleep 0.05
done
ms() { echo $((($2 - $1) / 1000000)); }
for run in $(seq "$runs"); do
    start=$(date +%s%N)
    "$build/bin/thermo4" --data-dir "$work/data" "$@" 2>/dev/null &
    pid=$!
    until window=$(xdotool search --onlyvisible --name '^thermo4$' 2>/dev/null | head -1) && [ -n "$window" ]; do
        sleep 0.005
    done
    shown=$(date +%s%N)
    # Let the first poll ticks run, as a user would, before closing.
    sleep 1
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    closing=$(date +%s%N)
    wait "$pid" 2>/dev/null || true
    ended=$(date +%s%N)
    echo "run $run: start to main window $(ms "$start" "$shown") ms, close to exit $(ms "$closing" "$ended") ms"
done
