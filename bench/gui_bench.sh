#!/usr/bin/env bash
# Measures the desktop window on the offscreen platform: adding 1,000 files to the list and
# selecting the row of a 6000x4000 JPEG until its preview is painted. Not part of CI.
# Usage: bash bench/gui_bench.sh [RUNS]   (default 5; the photo is made once and kept in $TMPDIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TOVRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target tovra_gui_bench
QT_QPA_PLATFORM=offscreen "$build/bench/gui/tovra_gui_bench" "${1:-5}"
