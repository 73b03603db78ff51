#!/usr/bin/env bash
# Runs a validator, or reports the test as skipped (status 77) when the validator is not installed.
# Any output on standard error fails the test too: the validators print hints there without
# failing, and a hint is a fault worth fixing.
set -uo pipefail
tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "$tool is not installed: skipped"
  exit 77
fi
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
"$@" 2>"$errors"
status=$?
cat "$errors" >&2
if [ "$status" -ne 0 ]; then exit "$status"; fi
if [ -s "$errors" ]; then echo "$tool wrote to standard error" >&2; exit 1; fi
