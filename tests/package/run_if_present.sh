#!/usr/bin/env bash
# Runs a validator, or reports the test as skipped (status 77) when the validator is not installed.
# Warnings and hints fail the test too: the validators print them without failing, and each one
# is something the desktop shows wrongly somewhere.
set -uo pipefail
tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "$tool is not installed: skipped"
  exit 77
fi
output=$("$@" 2>&1)
status=$?
if [ -n "$output" ]; then echo "$output"; fi
if [ "$status" -ne 0 ]; then exit "$status"; fi
if grep -qE ': (error|warning|hint):' <<<"$output"; then exit 1; fi
