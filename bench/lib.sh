# Sourced by the benchmark scripts that need a broker: a free local port and a
# throwaway mosquitto. The caller sets work to a temporary folder it removes.

# A TCP port on 127.0.0.1 that nothing listens on now.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# Starts mosquitto on 127.0.0.1:PORT (anonymous, nothing kept), its configuration and log in
# $work, and returns once it runs, with its PID in broker; fails when it exits instead.
start_broker() {
    local port=$1
    printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$port" >"$work/mosquitto.conf"
    [ "$(id -u)" = 0 ] && echo 'user root' >>"$work/mosquitto.conf"
    mosquitto -c "$work/mosquitto.conf" >"$work/broker.log" 2>&1 &
    broker=$!
    until grep -qs ' running' "$work/broker.log"; do
        if ! kill -0 "$broker" 2>/dev/null; then
            cat "$work/broker.log" >&2
            return 1
        fi
        sleep 0.05
    done
}
