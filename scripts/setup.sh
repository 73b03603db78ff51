#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tovra PDF needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libgif-dev libspng-dev libtiff-dev qt6-base-dev libcups2-dev
  libpaper-dev libwebp-dev libheif-dev
  webp libheif-examples
  googletest libgtest-dev
  clang libclang-rt-dev
  qpdf poppler-utils ghostscript mupdf-tools
  qt6-qpa-plugins
  xvfb xauth xdotool libx11-dev
  strace util-linux libjpeg-turbo-progs
  fonts-urw-base35
  python3 python3-pil libtiff-tools
  desktop-file-utils appstream-util appstream groff-base dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The paper tests start a CUPS scheduler of their own (private folder and socket) when cupsd is
# installed; the package is only needed for that, so a failure to get it is not fatal.
if ! dpkg-query -W -f='${Status}' cups-daemon 2>/dev/null | grep -q '^install ok installed$'; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -q --no-install-recommends cups-daemon ||
    { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends cups-daemon; } ||
    echo "cups-daemon not installed: the tests against a real print queue will be skipped" >&2
fi
