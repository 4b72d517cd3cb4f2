#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against the built-in virtual meter.
# Extra arguments are passed to the program (e.g. --simulate=scenario.json instead of the default).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ $# -eq 0 ]; then set -- --simulate; fi
exec build/bin/thermo4 "$@"
