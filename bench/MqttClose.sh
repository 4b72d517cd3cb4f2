#!/usr/bin/env bash
# Times the close of thermo4 --simulate --mqtt URL (bench/StartStop.sh: Alt+F4 to the end of the
# process) for each thing a broker can do: take the connection and answer, refuse it (nothing
# listens), take it and never answer (a mosquitto frozen with SIGSTOP), never answer the connection
# itself (an address that drops it). Needs mosquitto, xvfb, openbox and xdotool.
# Usage: bench/MqttClose.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$1
runs=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
broker=
trap '[ -n "$broker" ] && kill -CONT "$broker" 2>/dev/null && kill "$broker" 2>/dev/null; rm -rf "$work"' EXIT
. "$here/lib.sh"
close_times() {
    echo "== $1"
    "$here/StartStop.sh" "$build" "$runs" --simulate --mqtt "$2" | sed -u 's/.*close to exit/  close to exit/'
}

port=$(free_port)
start_broker "$port"
close_times "connected broker" "mqtt://127.0.0.1:$port/bench"
kill -STOP "$broker"
close_times "broker that takes the connection and never answers" "mqtt://127.0.0.1:$port/bench"
kill -CONT "$broker"
kill "$broker"
wait "$broker" 2>/dev/null || true
broker=
close_times "nothing listens (connection refused)" "mqtt://127.0.0.1:$port/bench"
close_times "address that drops the connection (10.255.255.1)" "mqtt://10.255.255.1/bench"
