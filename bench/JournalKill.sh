#!/usr/bin/env bash
# Process-level check of the recording journal: thermo4 --simulate --record (offscreen, 1 sample/s,
# publishing to a local mosquitto) is killed with SIGKILL after SECONDS; every sample the program
# had published must be in the journal it left behind.
# Usage: bench/JournalKill.sh BUILD_DIR [SECONDS] [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-8}
runs=${3:-3}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME/.config/thermo4" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nRealTimeRate=1\n' >"$HOME/.config/thermo4/thermo4.conf"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\n' "$port" >"$work/broker.conf"
mosquitto -c "$work/broker.conf" 2>/dev/null &
sleep 1
for run in $(seq "$runs"); do
    data="$work/data$run"
    mosquitto_sub -p "$port" -t "kill$run/recording" >"$work/published$run" &
    sub=$!
    "$build/bin/thermo4" --simulate --record --data-dir "$data" --mqtt "mqtt://127.0.0.1:$port/kill$run" \
        2>"$work/err$run" &
    pid=$!
    sleep "$seconds"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    sleep 1
    kill "$sub"
    wait "$sub" 2>/dev/null || true
    journal=$(ls "$data"/journal/*.csv)
    lines=$(grep -c '^[0-9]' "$journal" || true)
    kept=$("$build/bin/thermo4-cli" export "$journal" 2>/dev/null | grep -c '^[0-9]' || true)
    published=$(grep -c '"sample"' "$work/published$run" || true)
    missing=0
    while read -r time; do
        grep -q "^${time:0:23}" "$journal" || missing=$((missing + 1))
    done < <(sed -n 's/.*"time":"\([^"]*\)".*/\1/p' "$work/published$run")
    echo "run $run: killed after ${seconds} s; published $published samples, journal holds $kept" \
         "complete lines ($lines lines starting with a time), published samples missing from it: $missing"
done
