#!/usr/bin/env bash
# The dashboard's CPU with many simulated meters: a local mosquitto, dashboard_meters publishing
# METERS meters at RATE Hz (retained status, ReadingJson payloads), thermo4-cli dashboard subscribed
# to them, and with --page a headless Chromium that keeps the page open (it fetches /api/meters
# every second). After 10 s of warm-up, the dashboard's user+system CPU ticks over SECONDS from
# /proc/PID/stat, as a share of one core.
# Usage: bench/DashboardCpu.sh BUILD_DIR [--page] [METERS=100] [RATE=2] [SECONDS=60]
set -euo pipefail
build=$1
shift
page=
if [ "${1:-}" = --page ]; then page=1; shift; fi
meters=${1:-100}
rate=${2:-2}
seconds=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
. "$here/lib.sh"
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

broker_port=$(free_port)
start_broker "$broker_port"
pids+=("$broker")

"$build/bin/dashboard_meters" "$broker_port" bench "$meters" "$rate" &
pids+=($!)
http_port=$(free_port)
"$build/bin/thermo4-cli" dashboard --mqtt "mqtt://127.0.0.1:$broker_port/bench" --http "127.0.0.1:$http_port" \
    >"$work/dashboard.log" 2>&1 &
dashboard=$!
pids+=($dashboard)
until curl -sf "http://127.0.0.1:$http_port/api/meters" >/dev/null; do sleep 0.1; done
if [ -n "$page" ]; then
    chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/chromium" \
        --remote-debugging-port=0 "http://127.0.0.1:$http_port/" >"$work/chromium.log" 2>&1 &
    pids+=($!)
fi
sleep 10
shown=$(curl -sf "http://127.0.0.1:$http_port/api/meters" | grep -o '"name"' | wc -l)
before=$(ticks "$dashboard")
sleep "$seconds"
after=$(ticks "$dashboard")
hz=$(getconf CLK_TCK)
echo "meters on the board: $shown of $meters, ${rate} Hz each; page open: $([ -n "$page" ] && echo yes || echo no)"
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "dashboard CPU over %d s: %d ticks = %.2f %% of one core\n", s, t, 100 * t / hz / s }'
