#!/usr/bin/env bash
# `cmake --install` into a staging root (DESTDIR), then checks that every file is where the desktop
# expects it and where the programs themselves look for it (the README of the About window), and
# that the README's uninstall command removes every file again.
# Arguments: BUILD_DIR INSTALL_PREFIX README_PATH WITH_DESKTOP_PROGRAM(0|1)
set -euo pipefail
build=$1 prefix=$2 readme=$3 with_gui=$4
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }

fail() { echo "FAIL: $*" >&2; exit 1; }

cmp -s "$source_dir/README.md" "$root$readme" || fail "README is not installed at $readme"
docdir=$(dirname "$root$readme")
cmp -s "$source_dir/LICENSE" "$docdir/LICENSE" || fail "LICENSE is not installed beside the README"
# The Debian package's own documents stay out of a plain installation.
for debian_only in copyright changelog.Debian.gz; do
  [ ! -e "$docdir/$debian_only" ] || fail "$debian_only installed outside the package"
done

programs=(tovrapdf-cli)
if [ "$with_gui" = 1 ]; then programs+=(tovrapdf); fi
for program in "${programs[@]}"; do
  [ -x "$root$prefix/bin/$program" ] || fail "$program is not installed in $prefix/bin"
  page=$root$prefix/share/man/man1/$program.1.gz
  gzip -t "$page" 2>/dev/null || fail "no compressed manual page $program.1.gz"
done

share=$root$prefix/share
if [ "$with_gui" = 1 ]; then
  desktop=$share/applications/tovrapdf.desktop
  [ -f "$desktop" ] || fail "no desktop entry"
  grep -qx 'Exec=tovrapdf %F' "$desktop" || fail "desktop entry does not start tovrapdf with the files"
  grep -qx 'Icon=tovrapdf' "$desktop" || fail "desktop entry names another icon"
  [ -f "$share/metainfo/io.github.tovrapdf.tovrapdf.metainfo.xml" ] || fail "no metainfo file named after its id"
  [ -f "$share/icons/hicolor/scalable/apps/tovrapdf.svg" ] || fail "no scalable icon"
  for size in 16 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/tovrapdf.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # The PNG header holds the width and height as big-endian 32-bit numbers at bytes 16 and 20.
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    width=$(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 )) height=$(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 ))
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "the ${size}x${size} icon is ${width}x${height}"
  done
else
  [ ! -e "$share/applications/tovrapdf.desktop" ] || fail "desktop entry installed without the desktop program"
fi

# Nothing of the build's own libraries or headers leaks into the installation.
if find "$root" \( -name '*.a' -o -name '*.h' -o -name '*.so*' \) | grep .; then
  fail "libraries or headers were installed"
fi
# The README's way to uninstall, `xargs rm < install_manifest.txt`, leaves no file behind: the
# manifest lists every file the installation made (without DESTDIR).
grep -q 'xargs rm < build/install_manifest.txt' "$source_dir/README.md" || fail "the README does not say how to uninstall"
sed "s|^|$root|" "$build/install_manifest.txt" | xargs rm
leftovers=$(find "$root" ! -type d)
[ -z "$leftovers" ] || fail "uninstalling by the manifest leaves: $leftovers"
echo "installed into $root$prefix and uninstalled: OK"
