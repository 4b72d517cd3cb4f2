#!/usr/bin/env bash
# Installs what is missing, builds from scratch with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
rm -rf build
# Benchmarks are built on demand (bench/README.md), not on every test run; the tests need no debug
# information, which would cost a third of the compile time, and each target's sources compile
# eight to a translation unit.
scripts/build.sh -DTHERMO4_WERROR=ON -DTHERMO4_BENCH=OFF -DTHERMO4_DEBUG_INFO=OFF -DTHERMO4_UNITY=ON
cd build
# Most tests wait on a process, a port or a timer rather than compute: two at a time per core.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(( $(nproc) * 2 )) --timeout 300
