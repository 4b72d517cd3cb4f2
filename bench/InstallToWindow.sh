#!/usr/bin/env bash
# Times `cmake --install` of a built tree into a fresh prefix followed by the installed program's
# start until its main window is mapped on a virtual X display (needs xvfb and xdotool).
# Usage: bench/InstallToWindow.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
for run in $(seq "$runs"); do
    prefix="$work/prefix$run"
    start=$(date +%s%N)
    cmake --install "$build" --prefix "$prefix" >/dev/null
    installed=$(date +%s%N)
    "$prefix/bin/thermo4" --simulate 2>/dev/null &
    pid=$!
    xdotool search --sync --onlyvisible --name '^thermo4$' >/dev/null
    shown=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "run $run: install $(((installed - start) / 1000000)) ms, start to main window $(((shown - installed) / 1000000)) ms, total $(((shown - start) / 1000000)) ms"
done
