#!/usr/bin/env bash
# What Debian asks of a package beyond its files: a copyright file in the machine-readable format
# that carries the text of LICENSE, a Debian changelog compressed reproducibly at maximum
# compression (gzip -9n) whose latest entry is the package's version, and a lintian run with no
# error, no warning and no hardening tag of any severity (skipped when lintian is absent).
# Arguments: DEB SOURCE_DIR
set -euo pipefail
deb=$1 source_dir=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
dpkg -x "$deb" "$work/root"
doc=$work/root/usr/share/doc/tovrapdf

copyright=$doc/copyright
[ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "the copyright file does not start with the Format line of the machine-readable format"
# Paragraph by paragraph (awk's RS=""): the sources and the icon are ours, under the MIT licence.
for files in '*' 'data/icons/*'; do
  awk -v want="Files: $files" 'BEGIN { RS = ""; FS = "\n" } $1 == want && /\nLicense: Expat(\n|$)/ { found = 1 }
    END { exit !found }' "$copyright" || fail "no Expat (MIT) paragraph for $files"
done
grep -qx "Copyright: 2026 the Tovra PDF authors" "$copyright" || fail "the copyright file names other authors"
# The stand-alone Expat paragraph holds the permission notice of LICENSE, line for line.
awk 'BEGIN { RS = "" } /^License: Expat\n/ { print }' "$copyright" | tail -n +2 | sed -e 's/^ //' -e 's/^\.$//' \
  >"$work/licence"
sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE" | diff -u - "$work/licence" ||
  fail "the Expat text of the copyright file differs from LICENSE (- LICENSE, + copyright)"

changelog=$doc/changelog.Debian.gz
gzip -t "$changelog" || fail "changelog.Debian.gz is not a gzip file"
# The gzip header: flags (no file name), time stamp zero, extra flags 2 (maximum compression).
read -r _ _ _ flags t1 t2 t3 t4 extra < <(od -An -tu1 -N9 "$changelog")
[ "$flags $t1$t2$t3$t4 $extra" = "0 0000 2" ] || fail "changelog.Debian.gz was not made with gzip -9n"
zcat "$changelog" >"$work/changelog"
entry_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>"$work/parse.log")
[ ! -s "$work/parse.log" ] || { cat "$work/parse.log" >&2; fail "the Debian changelog does not parse cleanly"; }
[ "$entry_version" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "the changelog's latest entry is $entry_version, the package $(dpkg-deb -f "$deb" Version)"

if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed: its checks are skipped"
  exit 0
fi
lintian --fail-on none --display-info --no-tag-display-limit "$deb" >"$work/lintian.log" 2>"$work/lintian.err" ||
  { cat "$work/lintian.err" >&2; fail "lintian did not run"; }
cat "$work/lintian.log"
if grep -E '^[EW]: |^[A-Z]: [^ ]+: hardening-' "$work/lintian.log" >&2; then
  fail "lintian reports the errors, warnings or hardening tags above"
fi
echo "lintian: no error, no warning"
