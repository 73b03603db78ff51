#!/usr/bin/env bash
# A manual page must format without a single groff warning. Every VARIABLE named after the page
# needs an entry of its own in the ENVIRONMENT section.
# Arguments: PAGE [VARIABLE...]
set -uo pipefail
page=$1
shift
if ! command -v groff >/dev/null 2>&1; then
  echo "groff is not installed: skipped"
  exit 77
fi
warnings=$(LC_ALL=C.UTF-8 groff -z -ww -man "$page" 2>&1) || { echo "$warnings" >&2; exit 1; }
if [ -n "$warnings" ]; then
  echo "$warnings" >&2
  exit 1
fi
# The page must say something under each of its usual headings.
for heading in NAME SYNOPSIS DESCRIPTION; do
  grep -q "^\.SH $heading" "$page" || { echo "$page has no $heading section" >&2; exit 1; }
done
# An entry is a .TP paragraph whose tag line is the variable's name in bold.
environment=$(sed -n '/^\.SH ENVIRONMENT/,/^\.SH /p' "$page")
for variable in "$@"; do
  grep -qx "\.B $variable" <<<"$environment" || { echo "$page: no ENVIRONMENT entry for $variable" >&2; exit 1; }
done
