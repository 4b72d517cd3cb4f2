#!/usr/bin/env bash
# The metainfo as THERMO4_SCREENSHOT_URL makes it ($1) is valid AppStream when the validator is
# installed, and every picture it lists is one of the screenshots in $2.
set -euo pipefail
metainfo=$1
pictures=$2
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || {
        appstreamcli validate --no-net "$metainfo" >&2
        exit 1
    }
fi
names=$(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$names" ] || { echo "FAIL: no screenshot in $metainfo" >&2; exit 1; }
for name in $names; do
    [ -s "$pictures/$name" ] || { echo "FAIL: $name is not in $pictures" >&2; exit 1; }
done
echo "metainfo screenshots OK"
