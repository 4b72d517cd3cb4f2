#!/usr/bin/env bash
# Builds the Debian package of the build folder given as $1, as the README's "cpack -G DEB" does, into
# a scratch folder, and reads it back with dpkg-deb: a tool that the package generator needs and the
# setup script does not install (file, dpkg-shlibdeps) fails here rather than on a user's machine.
set -euo pipefail
build=$(cd "$1" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cd "$build"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB failed"
fi
debs=("$work"/thermo4_*_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no thermo4_<version>_<arch>.deb: $(ls "$work")"
info=$(dpkg-deb --info "${debs[0]}") || fail "dpkg-deb cannot read ${debs[0]}"
grep -q '^ Package: thermo4$' <<<"$info" || fail "no package name in: $info"
# The dependencies come from the programs themselves (dpkg-shlibdeps).
grep -Eq '^ Depends: .*libqt6core6' <<<"$info" || fail "no worked-out dependencies in: $info"
grep -Eq '^ Depends: .*libqt6httpserver6' <<<"$info" || fail "the web page's HTTP server library is not among: $info"
dpkg-deb --contents "${debs[0]}" >"$work/contents" || fail "dpkg-deb cannot list ${debs[0]}"
grep -q '\./usr/bin/thermo4-cli$' "$work/contents" || fail "thermo4-cli is not in the package"
echo "OK ${debs[0]##*/}"
