#!/usr/bin/env bash
# Installs what is missing, builds Tovra PDF with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${TOVRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
(cd "$build" && ctest --output-on-failure -j2)
