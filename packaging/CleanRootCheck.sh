#!/usr/bin/env bash
# Checks a built .deb against a machine that has nothing installed: apt works out what the package
# pulls in on an empty system (without recommended packages), those packages and the .deb are
# unpacked into a fresh root, and the installed programs run there: thermo4-cli answers and reads
# the shipped example, thermo4 --simulate starts offscreen and finds its help page and template.
# A library or plugin that only the build machine has shows up here as a program that fails.
#
# Usage (Debian 12, as root, with the network): packaging/CleanRootCheck.sh build/thermo4_*_amd64.deb
set -euo pipefail
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "$0: needs root (chroot and mounts)" >&2; exit 2; }
deb=$(readlink -f "$1")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# What an empty system needs to install the package.
: >"$work/status"
cp "$deb" "$work/package.deb"
apt-get -s --no-install-recommends -o Dir::State::status="$work/status" install "$work/package.deb" \
    >"$work/plan" 2>&1 || fail "apt cannot install the package on an empty system: $(tail -5 "$work/plan")"
awk '/^Inst/ && $2 != "thermo4" {print $2}' "$work/plan" >"$work/packages"
echo "dependencies on an empty system: $(wc -l <"$work/packages") packages"
mkdir "$work/debs"
(cd "$work/debs" && xargs apt-get download -q <"$work/packages" >/dev/null 2>&1) ||
    fail "could not download the dependencies"

root="$work/root"
mkdir -p "$root"
for f in "$work"/debs/*.deb "$work/package.deb"; do dpkg-deb -x "$f" "$root"; done
ldconfig -r "$root"
mkdir -p "$root/tmp" "$root/dev" "$root/proc" "$root/home/user/run"
chmod 1777 "$root/tmp"
chmod 700 "$root/home/user/run"

chroot=$(command -v chroot)
# Runs a command in the root with /dev and /proc, in a mount namespace of its own;
# "in_root timeout S CMD..." stops it after S seconds.
in_root() {
    local limit=()
    if [ "$1" = timeout ]; then limit=("$(command -v timeout)" "$2") && shift 2; fi
    unshare -m sh -c 'mount --bind /dev "$0/dev" && mount -t proc proc "$0/proc" && exec "$@"' \
        "$root" env -i HOME=/home/user XDG_RUNTIME_DIR=/home/user/run QT_QPA_PLATFORM=offscreen \
        "${limit[@]}" "$chroot" "$root" "$@"
}

version=$(in_root /usr/bin/thermo4-cli --version) || fail "thermo4-cli --version"
echo "$version"
sets=$(in_root /usr/bin/thermo4-cli sets /usr/share/thermo4/scenarios/demo.ch4) || fail "thermo4-cli sets"
[ "$(printf '%s\n' "$sets" | wc -l)" -eq 3 ] || fail "thermo4-cli sets on demo.ch4: $sets"

status=0
in_root timeout 5 /usr/bin/thermo4 --simulate 2>"$work/gui.err" || status=$?
[ "$status" -eq 124 ] || fail "thermo4 --simulate ended with $status: $(cat "$work/gui.err")"
if grep -qi 'missing file\|thermo4:\|could not\|cannot' "$work/gui.err"; then fail "thermo4 said: $(cat "$work/gui.err")"; fi
cmp -s "$root/home/user/.local/share/thermo4/template/graph.ghf" "$root/usr/share/thermo4/template/graph.ghf" ||
    fail "the shipped template never reached the user's data folder"
echo "clean root OK: $(basename "$deb") installs and runs with its dependencies alone"
