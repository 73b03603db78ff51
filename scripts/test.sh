#!/usr/bin/env bash
# Installs what is missing, builds Tovra PDF with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh

build=${TOVRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
(cd "$build" && ctest --output-on-failure -j2)

# Second pass: only the image decoders' tests and fuzz-target replays over the corpus,
# built with AddressSanitizer and UndefinedBehaviorSanitizer (leaks included) in their
# own folder. Any sanitizer report fails the test that caused it.
asan_build=${TOVRA_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$asan_build" -DCMAKE_BUILD_TYPE=Debug -DTOVRA_SANITIZE=ON >/dev/null
cmake --build "$asan_build" -j2 --target tovra_imaging_tests tovra_fuzz_targets
(cd "$asan_build" &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt" \
    ctest --output-on-failure -j2 -R '^(imaging\.|fuzz_replay_)')
