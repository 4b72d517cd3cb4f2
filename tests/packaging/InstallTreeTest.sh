#!/usr/bin/env bash
# Installs the build folder given as $1 into a temporary prefix and checks the installed tree from
# another working folder: thermo4-cli answers, thermo4 finds its help page and template and writes
# only into the user's data folder, and the desktop files pass their validators when present.
set -euo pipefail
build=$(cd "$1" && pwd)

work=$(mktemp -d)
gui=""
cleanup() {
    if [ -n "$gui" ]; then kill "$gui" 2>/dev/null || true; wait "$gui" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix="$work/any folder/prefix" # a relocated prefix, with a space in its path
cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$work" # neither the build folder nor the prefix

# The tree.
for f in bin/thermo4 bin/thermo4-cli share/thermo4/thermo4HELP.htm share/thermo4/template/graph.ghf \
         share/thermo4/scenarios/demo.ch4 share/thermo4/scenarios/demo.json \
         share/applications/thermo4.desktop share/metainfo/org.thermo4.thermo4.metainfo.xml \
         share/icons/hicolor/scalable/apps/thermo4.svg share/icons/hicolor/48x48/apps/thermo4.png \
         share/doc/thermo4/docs/screenshots/main-window.png share/doc/thermo4/docs/screenshots/data-logger.png \
         lib/udev/rules.d/70-thermo4.rules; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
if command -v help2man >/dev/null; then
    for f in thermo4.1.gz thermo4-cli.1.gz; do
        [ -s "$prefix/share/man/man1/$f" ] || fail "no manual page $f"
    done
fi
rule="$prefix/lib/udev/rules.d/70-thermo4.rules"
[ "$(grep -c 'idVendor}=="04d9".*idProduct}=="e000".*TAG+="uaccess"' "$rule")" -eq 2 ] ||
    fail "the udev rule does not tag both the hidraw node and the USB device of 04d9:e000"
if grep -v '^#' "$rule" | grep -q 'MODE\|GROUP'; then fail "the udev rule opens the device to others"; fi

# The command-line tool.
version=$("$prefix/bin/thermo4-cli" --version)
[[ "$version" =~ ^thermo4-cli\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "thermo4-cli --version: $version"
sets=$("$prefix/bin/thermo4-cli" sets "$prefix/share/thermo4/scenarios/demo.ch4")
[ "$(printf '%s\n' "$sets" | head -1)" = "set,start,interval,points,unit,type,t1_offset,t2_offset,t3_offset,t4_offset" ] ||
    fail "thermo4-cli sets header: $sets"
[ "$(printf '%s\n' "$sets" | wc -l)" -eq 3 ] || fail "thermo4-cli sets on demo.ch4: $sets"

# The program, as a user whose home is empty: it must find its shipped files in the prefix and
# copy the template into the user's data folder, never writing into the prefix.
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export XDG_RUNTIME_DIR="$work/home/run" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
touch "$work/before-start"
"$prefix/bin/thermo4" --simulate 2>"$work/gui.err" &
gui=$!
template="$XDG_DATA_HOME/thermo4/template/graph.ghf"
shipped="$prefix/share/thermo4/template/graph.ghf"
for _ in $(seq 600); do # up to 60 s on a loaded machine
    if cmp -s "$template" "$shipped"; then break; fi
    kill -0 "$gui" 2>/dev/null || fail "thermo4 ended at start: $(cat "$work/gui.err")"
    sleep 0.1
done
cmp -s "$template" "$shipped" || fail "the shipped template never reached the user's data folder"
# The main window is built after the data folder; the program must still be running 2 s later.
for _ in $(seq 20); do
    kill -0 "$gui" 2>/dev/null || fail "thermo4 ended: $(cat "$work/gui.err")"
    sleep 0.1
done
kill "$gui"
wait "$gui" 2>/dev/null || true
gui=""
if grep -q 'missing file\|thermo4:' "$work/gui.err"; then fail "thermo4 said: $(cat "$work/gui.err")"; fi
written=$(find "$prefix" -newer "$work/before-start")
[ -z "$written" ] || fail "thermo4 wrote into its prefix: $written"

# Desktop integration files, when the validators are installed.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/thermo4.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.thermo4.thermo4.metainfo.xml" >/dev/null ||
        fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/org.thermo4.thermo4.metainfo.xml")"
fi
echo "installed tree OK"
