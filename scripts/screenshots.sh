#!/usr/bin/env bash
# Takes the pictures of the program that the README and the package show, from the program as
# built: thermo4 on its virtual meter (resources/scenarios/demo.json) on a virtual display with a
# window manager, a short real-time recording, then the demo data sets downloaded.
#
#   scripts/screenshots.sh [OUTDIR]      (default: docs/screenshots)
#
# Writes OUTDIR/main-window.png (panel and real-time graph after the recording) and
# OUTDIR/data-logger.png (the downloaded data sets and the graph of the first one).
# Needs build/bin/thermo4 (scripts/build.sh) and the Debian packages
#   xvfb openbox xdotool imagemagick
# which it names and stops when one is missing. The pictures are 1600 x 900 pixels.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
program=build/bin/thermo4
size=1600x900

missing=()
for tool in Xvfb:xvfb openbox:openbox xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "screenshots.sh needs: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
[ -x "$program" ] || { echo "screenshots.sh: build the program first (scripts/build.sh)" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# The program with a data folder and settings of its own, so that no earlier journal, template
# or sampling rate shows.
export XDG_CONFIG_HOME="$work/config"
"$program" --simulate=resources/scenarios/demo.json --data-dir "$work/data" >"$work/thermo4.log" 2>&1 &
pids+=($!)
main=$(timeout 30 xdotool search --sync --onlyvisible --name '^thermo4$' | head -1)
xdotool windowactivate --sync "$main"
sleep 3 # the poll finds the virtual meter and the panel shows its first reading

# waitfor NAME: the top-level window of that caption, up to 30 s.
waitfor() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1; }
# The menu "Real Time" has no key of its own: open "&Data Logger" and step one menu left.
realTimeMenu() {
    xdotool windowactivate --sync "$main" key alt+d
    sleep 0.5
    xdotool key Left
    sleep 0.5
}

# Run: 20 samples every 2 s.
realTimeMenu
xdotool key Return # Run, the menu's first entry
setup=$(waitfor '^Real-Time Setup$')
xdotool windowactivate --sync "$setup" key ctrl+a
xdotool type --delay 50 '20'
xdotool key Return # Start
sleep 44           # the recording stops by itself after its 20th sample
import -window root "$out/main-window.png"

# Data Logger > Load: the demo memory's data sets, listed and the first one drawn.
xdotool windowactivate --sync "$main" key alt+d
sleep 0.5
xdotool key l
sleep 8 # the download over the virtual meter and the decode
import -window root "$out/data-logger.png"
echo "wrote $out/main-window.png and $out/data-logger.png"
