#!/bin/sh
# Runs the MQTT tests that connect to "localhost" once more with the host table of a
# normal Debian host, where localhost is ::1 (tried first) as well as 127.0.0.1 while
# the test brokers listen on 127.0.0.1 only. The table is bind-mounted over /etc/hosts
# in a private mount namespace, which needs root: exit 77 (skipped) otherwise.
# Usage: DualStackLocalhost.sh TEST_MQTT
set -eu
test_mqtt=$1
if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
    echo "needs root and unshare -m: skipped"
    exit 77
fi
hosts=$(mktemp)
trap 'rm -f "$hosts"' EXIT
printf '127.0.0.1\tlocalhost\n\n::1\tlocalhost ip6-localhost ip6-loopback\n' >"$hosts"
exec unshare -m sh -c '
    mount --bind "$1" /etc/hosts
    echo "localhost is: $(getent ahostsv6 localhost | head -1) and $(getent ahostsv4 localhost | head -1)"
    exec "$2" --gtest_filter="PublisherTls.*:*Localhost*"
' sh "$hosts" "$test_mqtt"
