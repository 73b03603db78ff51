#!/usr/bin/env bash
# Makes the Debian package with cpack from the existing build, checks its file list, control fields
# and what Debian policy asks (check_deb_policy.sh: copyright, changelog, lintian), unpacks it into
# a temporary root and runs the unpacked tovrapdf-cli on a few pictures.
# Arguments: BUILD_DIR SAMPLES_PROGRAM WITH_DESKTOP_PROGRAM(0|1) WITH_CUPS(0|1)
set -euo pipefail
build=$1 samples=$2 with_gui=$3 with_cups=$4

for tool in cpack dpkg-deb dpkg dpkg-shlibdeps dpkg-parsechangelog file readelf; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# cpack runs the install step of the build; -B keeps its staging folder and the package out of it.
(cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/pkg/tovrapdf_*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || fail "expected one tovrapdf_*.deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# The file list, exactly: a file too many is as wrong as a missing one.
expected=(
  ./usr/bin/tovrapdf-cli
  ./usr/share/doc/tovrapdf/README.md
  ./usr/share/doc/tovrapdf/changelog.Debian.gz
  ./usr/share/doc/tovrapdf/copyright
  ./usr/share/lintian/overrides/tovrapdf
  ./usr/share/man/man1/tovrapdf-cli.1.gz
)
if [ "$with_gui" = 1 ]; then
  expected+=(
    ./usr/bin/tovrapdf
    ./usr/share/applications/tovrapdf.desktop
    ./usr/share/metainfo/io.github.tovrapdf.tovrapdf.metainfo.xml
    ./usr/share/man/man1/tovrapdf.1.gz
    ./usr/share/icons/hicolor/scalable/apps/tovrapdf.svg
  )
  for size in 16 22 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/tovrapdf.png")
  done
fi
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's file list differs (- expected, + packaged)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tovrapdf ] || fail "Package: $(field Package)"
[[ "$(field Version)" =~ ^1\.1\.[0-9]+-[0-9]+$ ]] || fail "Version: $(field Version)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
needed=(libqt6core6 libqt6gui6 zlib1g libjpeg62-turbo libgif7 libspng0 libtiff6 libwebp7 libheif1 libdeflate0 libpaper1 libc6 libstdc++6)
if [ "$with_gui" = 1 ]; then needed+=(libqt6widgets6); fi
if [ "$with_cups" = 1 ]; then needed+=(libcups2); fi
for package in "${needed[@]}"; do
  [[ ", $depends" == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package"
done

bash "$(dirname "$0")/check_deb_policy.sh" "$deb" "$(cd "$(dirname "$0")/../.." && pwd)" || fail "Debian policy"

# apt can satisfy every dependency (a dry run: nothing is installed).
if command -v apt-get >/dev/null 2>&1; then
  apt-get -s -q install "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get cannot install the package"; }
  grep -q '^Conf tovrapdf ' "$work/apt.log" || { cat "$work/apt.log" >&2; fail "apt-get would not install tovrapdf"; }
fi

# Unpacked, the tool runs from the system's libraries alone.
root=$work/root
dpkg -x "$deb" "$root"
for program in "$root"/usr/bin/*; do
  if readelf -d "$program" | grep -E 'RPATH|RUNPATH'; then fail "$(basename "$program") carries a library path"; fi
  if env -u LD_LIBRARY_PATH ldd "$program" | grep 'not found'; then fail "$(basename "$program") misses libraries"; fi
done
# The installed metainfo agrees with the desktop entry and icon installed beside it.
if [ "$with_gui" = 1 ]; then
  bash "$(dirname "$0")/check_appstream.sh" validate-tree "$root" || [ $? = 77 ] || fail "AppStream"
fi
cli=$root/usr/bin/tovrapdf-cli
[ "$(env -u LD_LIBRARY_PATH "$cli" --version)" = "tovrapdf-cli (Tovra PDF) 1.1" ] || fail "--version"

"$samples" "$work/images" >"$work/images.txt"
mapfile -t images <"$work/images.txt"
env -u LD_LIBRARY_PATH "$cli" -q -o "$work/out.pdf" "${images[@]}" || fail "the unpacked tovrapdf-cli failed"
[ "$(head -c 8 "$work/out.pdf")" = "%PDF-1.2" ] || fail "no PDF written"
if command -v pdfinfo >/dev/null 2>&1; then
  pages=$(pdfinfo "$work/out.pdf" | awk '/^Pages:/ { print $2 }')
  [ "$pages" = "${#images[@]}" ] || fail "the PDF has $pages pages for ${#images[@]} pictures"
fi
echo "package OK"
