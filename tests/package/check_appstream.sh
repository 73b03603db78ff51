#!/usr/bin/env bash
# appstreamcli, pedantic and offline, on a metainfo file (validate) or an installed tree
# (validate-tree: the metainfo with the desktop entry and icon it points at). Any issue fails,
# errors to pedantic notes alike; the one exception is <developer>, unknown to AppStream before
# 1.0 (Debian 12 has 0.16), which reports it as an unknown tag.
# Arguments: validate FILE | validate-tree ROOT
set -uo pipefail
if ! command -v appstreamcli >/dev/null 2>&1; then
  echo "appstreamcli is not installed: skipped"
  exit 77
fi
output=$(appstreamcli "$1" --pedantic --no-net --no-color "$2" 2>&1)
status=$?
echo "$output"
[ "$status" = 0 ] || exit "$status"
version=$(appstreamcli --version | awk '{ print $NF }')
issues=$(grep -E '^ *[EWIP]: ' <<<"$output")
if [ "${version%%.*}" = 0 ]; then issues=$(grep -vE ': unknown-tag developer$' <<<"$issues"); fi
[ -z "$issues" ] || { echo "FAIL: appstreamcli reports the issues above" >&2; exit 1; }
