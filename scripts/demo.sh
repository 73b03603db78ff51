#!/usr/bin/env bash
# The main job end to end: installs what is missing, builds the desktop program and the
# command-line tool, and draws a few sample pictures of each kind (JPEG, BMP, GIF).
# With a display it starts the desktop program with the sample pictures in its list. Without one
# it says so and turns them into one PDF with tovrapdf-cli, whose path it prints last.
# Usage: bash scripts/demo.sh [OUTPUT_FOLDER]   (default: out/demo in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${TOVRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target tovrapdf-cli tovrapdf-samples tovrapdf

out=$(realpath -m "${1:-out/demo}")
mkdir -p "$out"
echo "Sample pictures:"
mapfile -t images < <("$build/src/cli/tovrapdf-samples" "$out/images")
printf '  %s\n' "${images[@]}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting the desktop program: $build/src/app/tovrapdf (close its window to end)"
  exec "$build/src/app/tovrapdf" "${images[@]}"
fi
echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop program cannot"
echo "start; running the demo conversion with tovrapdf-cli instead."

cli="$build/src/cli/tovrapdf-cli"
# A4 when the paper list has it (a printer may offer other names), else its first paper.
paper=$("$cli" --list-papers | awk -F'\t' 'tolower($1) == "a4" { print $1; exit }')
[ -n "$paper" ] || paper=$("$cli" --list-papers | head -n 1 | cut -f 1)

pdf="$out/tovra-demo.pdf"
"$cli" --force --quiet --paper "$paper" --sizing fit --margins 36 \
  --title "Tovra PDF demo" --subject "Sample pictures, one page each" --author "Tovra PDF" \
  --output "$pdf" "${images[@]}"

if command -v pdfinfo >/dev/null; then
  echo "Pages:"
  pdfinfo -f 1 -l 100 "$pdf" | grep '^Page.*size' | sed 's/^/  /'
fi
echo "PDF written:"
echo "$pdf"
