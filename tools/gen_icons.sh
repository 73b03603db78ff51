#!/usr/bin/env bash
# Renders the application icon (data/icons/tovrapdf.svg) into the PNG sizes of the hicolor theme,
# data/icons/<N>x<N>/tovrapdf.png. The PNGs are committed, so building needs no SVG renderer;
# run this again after changing the drawing. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

svg=data/icons/tovrapdf.svg
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "data/icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio "$svg" \
    --output "data/icons/${size}x${size}/tovrapdf.png"
done
