#!/usr/bin/env bash
# Benchmarks tovrapdf-cli against img2pdf and ImageMagick on generated batches of JPEG photos, of
# 24-bit and 8-bit BMPs and of GIF photos and screenshots. Not part of CI. See bench/README.md.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)

cli="$repo/build/src/cli/tovrapdf-cli"
runs=5
jpeg="20:3000x2000"
bmp24="10:2000x1500"
bmp8="10:2000x1500"
gifphoto="10:2000x1500"
gifshot="20:1600x1000"
work="${TMPDIR:-/tmp}/tovra-bench"
install=1
compare=1
scale=""
threads=0
compact=0

usage() {
  cat <<EOF
usage: bench/run.sh [options]
  --cli PATH       tovrapdf-cli to measure (default: build/src/cli/tovrapdf-cli)
  --runs N         timed runs per tool and batch, after one warm-up run (default: $runs)
  --jpeg N:WxH     N JPEG photos of W x H pixels (default: $jpeg; N = 0 leaves the batch out)
  --bmp24 N:WxH    N 24-bit BMPs (default: $bmp24)
  --bmp8 N:WxH     N 8-bit palette BMPs (default: $bmp8)
  --gifphoto N:WxH N GIF photos, 256 colours (default: $gifphoto)
  --gifshot N:WxH  N GIF screenshots: flat colours and text (default: $gifshot)
  --work DIR       generated images and outputs (default: $work); images are kept for reruns
  --no-install     do not install missing packages
  --no-compare     measure only tovrapdf-cli and cat (img2pdf and ImageMagick's convert not needed)
  --scale N,N,...  also the JPEG scale series: N photos of 3000x2000 each (e.g. 50,200,500), made
                   from one batch of 50 by hard links, to see time and peak memory grow with N
  --threads        also measure tovrapdf-cli with TOVRA_THREADS=1 (no worker threads) on every batch
  --compact        also measure tovrapdf-cli --compact (with --threads, also on one thread)
EOF
}

while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --jpeg) jpeg=$2; shift 2 ;;
    --bmp24) bmp24=$2; shift 2 ;;
    --bmp8) bmp8=$2; shift 2 ;;
    --gifphoto) gifphoto=$2; shift 2 ;;
    --gifshot) gifshot=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --no-install) install=0; shift ;;
    --no-compare) compare=0; shift ;;
    --scale) scale=$2; shift 2 ;;
    --threads) threads=1; shift ;;
    --compact) compact=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
  esac
done

for spec in "$jpeg" "$bmp24" "$bmp8" "$gifphoto" "$gifshot"; do
  [[ $spec =~ ^[0-9]+:[0-9]+x[0-9]+$ ]] || { echo "batch must look like N:WxH, not '$spec'" >&2; exit 2; }
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "--runs must be a positive number" >&2; exit 2; }
[[ -z $scale || $scale =~ ^[1-9][0-9]*(,[1-9][0-9]*)*$ ]] || { echo "--scale must look like 50,200,500" >&2; exit 2; }

# --- what the benchmark needs ----------------------------------------------------------------
# ImageMagick's own binary: elsewhere on PATH there may be other programs called `convert`.
find_imagemagick() {
  local candidate
  for candidate in /usr/bin/convert "$(command -v magick || true)" "$(command -v convert || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ] && "$candidate" -version 2>/dev/null | grep -q ImageMagick; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

missing=()
if [ "$compare" -eq 1 ]; then command -v img2pdf >/dev/null || missing+=(img2pdf); fi
find_imagemagick >/dev/null || missing+=(imagemagick)  # makes the images
[ -x /usr/bin/time ] || missing+=(time)
command -v python3 >/dev/null || missing+=(python3)
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$install" -eq 0 ]; then
    echo "missing: ${missing[*]} (run without --no-install to install them)" >&2
    exit 1
  fi
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "installing ${missing[*]} ..." >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null ||
    { $sudo apt-get update -q >/dev/null && $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; }
fi
im=$(find_imagemagick)
img2pdf=$(command -v img2pdf || true)

# --- the images ------------------------------------------------------------------------------
# One plasma picture with a little noise per size (slow to make), then per image a shifted and
# recoloured copy of it, so every file differs and compresses like a photo would.
base_image() {  # WxH -> path
  local size=$1 path="$work/inputs/base-$1.png"
  if [ ! -f "$path" ]; then
    mkdir -p "$work/inputs"
    echo "making a $size base picture ..." >&2
    "$im" -size "$size" -seed 7 plasma:fractal -blur 0x1 -attenuate 0.4 +noise Gaussian "$path.tmp.png"
    mv "$path.tmp.png" "$path"
  fi
  echo "$path"
}

# A screenshot-like picture per size: a title bar, a side bar, flat panels and lines of
# anti-aliased text, as a program's window would show them.
base_screenshot() {  # WxH -> path
  local size=$1 path="$work/inputs/screen-$1.png"
  local width=${size%x*} height=${size#*x}
  if [ ! -f "$path" ]; then
    mkdir -p "$work/inputs"
    echo "making a $size base screenshot ..." >&2
    local words=(open file report page margin paper preview image list settings portrait fit
                 stretch export folder colour table window button cancel apply)
    local args=(-size "$size" xc:'#f3f3f3' -fill '#2b579a' -draw "rectangle 0,0 $width,34"
                -fill '#e6e6e6' -draw "rectangle 0,35 $((width / 6)),$height"
                -font DejaVu-Sans -pointsize 13)
    local y x line k
    for ((y = 64; y < height - 10; y += 21)); do
      args+=(-fill '#333333' -annotate "+12+$y" "${words[y % 21]} ${words[(y / 3) % 21]}")
      line=""
      for ((k = 0; k < 4 + (y * 7) % 9; k++)); do line+="${words[(y + k * 5) % 21]} "; done
      x=$((width / 6 + 24))
      args+=(-fill "#$(printf '%02x%02x%02x' $(((y * 3) % 90)) $(((y * 5) % 90)) $(((y * 7) % 120)))"
             -annotate "+$x+$y" "$line")
      if ((y % 147 == 22)); then
        args+=(-fill '#dde8f6' -draw "roundrectangle $((width - 260)),$((y - 15)) $((width - 40)),$((y + 40)) 6,6")
      fi
    done
    "$im" "${args[@]}" "$path.tmp.png"
    mv "$path.tmp.png" "$path"
  fi
  echo "$path"
}

make_batch() {  # kind N:WxH -> folder (empty when N = 0)
  local kind=$1 count=${2%%:*} size=${2#*:}
  local dir="$work/inputs/$kind-$count-$size"
  [ "$count" -gt 0 ] || return 0
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    local base
    if [ "$kind" = gifshot ]; then base=$(base_screenshot "$size"); else base=$(base_image "$size"); fi
    echo "making $count $kind images of $size ..." >&2
    local i roll
    for ((i = 1; i <= count; i++)); do
      roll="+$((i * 397))+$((i * 211))"
      case "$kind" in
        jpeg) "$im" "$base" -roll "$roll" -modulate 100,$((80 + i % 40)),$(((i * 37) % 200)) \
                -quality 90 "$dir/$(printf 'photo%03d' "$i").jpg" ;;
        bmp24) "$im" "$base" -roll "$roll" -modulate 100,100,$(((i * 37) % 200)) \
                 -type TrueColor -compress None "BMP3:$dir/$(printf 'true%03d' "$i").bmp" ;;
        bmp8) "$im" "$base" -roll "$roll" -modulate 100,100,$(((i * 37) % 200)) -colors 256 \
                -type Palette -compress None "BMP3:$dir/$(printf 'palette%03d' "$i").bmp" ;;
        gifphoto) "$im" "$base" -roll "$roll" -modulate 100,100,$(((i * 37) % 200)) -colors 256 \
                    "$dir/$(printf 'photo%03d' "$i").gif" ;;
        # Screenshots: shifted by whole text lines and recoloured, no dithering.
        gifshot) "$im" "$base" -roll "+0+$(((i * 21) % 400))" -modulate 100,100,$(((i * 37) % 200)) \
                   +dither -colors 256 "$dir/$(printf 'screen%04d' "$i").gif" ;;
      esac
    done
    touch "$dir/.complete"
  fi
  echo "$dir"
}

batches=()
for pair in "jpeg=$jpeg" "bmp24=$bmp24" "bmp8=$bmp8" "gifphoto=$gifphoto" "gifshot=$gifshot"; do
  kind=${pair%%=*}
  dir=$(make_batch "$kind" "${pair#*=}")
  [ -z "$dir" ] || batches+=(--batch "$kind=$dir")
done
# The scale series: N photos, the 50 of one batch over and over under new names (hard links, so
# the inputs take no more disk and both tovrapdf-cli and cat read the same cached bytes).
if [ -n "$scale" ]; then
  photos=$(make_batch jpeg "50:3000x2000")
  for count in ${scale//,/ }; do
    dir="$work/inputs/jpeg-scale-$count"
    if [ ! -f "$dir/.complete" ]; then
      rm -rf "$dir"
      mkdir -p "$dir"
      mapfile -t sources < <(find "$photos" -name '*.jpg' | sort)
      for ((i = 0; i < count; i++)); do
        ln "${sources[i % ${#sources[@]}]}" "$dir/$(printf 'photo%04d' "$i").jpg"
      done
      touch "$dir/.complete"
    fi
    batches+=(--batch "jpeg-scale-$count=$dir")
  done
fi
[ "${#batches[@]}" -gt 0 ] || { echo "no batch to convert" >&2; exit 2; }

# --- the tools -------------------------------------------------------------------------------
tools=()
notes=()
if [ -x "$cli" ]; then
  tools+=(--tool "tovrapdf-cli=$cli")
  if [ "$threads" -eq 1 ]; then tools+=(--tool "tovrapdf-1thread=$cli"); fi
  if [ "$compact" -eq 1 ]; then tools+=(--tool "tovrapdf-compact=$cli"); fi
  if [ "$compact" -eq 1 ] && [ "$threads" -eq 1 ]; then tools+=(--tool "tovrapdf-compact-1thread=$cli"); fi
else
  notes+=("note: tovrapdf-cli not measured: $cli does not exist (build it, or give --cli PATH)")
fi
if [ "$compare" -eq 1 ]; then
  tools+=(--tool "img2pdf=$img2pdf")
  # Debian's ImageMagick policy forbids writing PDF; try it on a small picture first.
  probe_dir=$(mktemp -d)
  trap 'rm -rf "$probe_dir"' EXIT
  "$im" -size 8x8 xc:gray "$probe_dir/probe.jpg"
  if probe_error=$("$im" "$probe_dir/probe.jpg" "$probe_dir/probe.pdf" 2>&1) && [ -s "$probe_dir/probe.pdf" ]; then
    tools+=(--tool "convert=$im")
  else
    notes+=("note: ImageMagick convert not measured: its security policy forbids PDF output" \
            "  ($(echo "$probe_error" | head -n 1 | cut -c1-100))." \
            "  To include it, allow the PDF coder in /etc/ImageMagick-*/policy.xml.")
  fi
fi
tools+=(--tool "cat=cat")

echo "Tovra PDF benchmark: $(nproc) cores, $runs timed rounds (every tool once per round, in turn) after one warm-up; $(date -u '+%Y-%m-%d %H:%M UTC')"
if [ "$compare" -eq 1 ]; then
  echo "tools: $("$im" -version | head -n 1 | cut -d' ' -f2-3); img2pdf $("$img2pdf" --version 2>&1 | awk '{print $2}')"
fi
echo "load average before measuring: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine makes the times noisy)"
python3 "$here/measure.py" --runs "$runs" --work "$work/out" "${batches[@]}" "${tools[@]}"
if [ "${#notes[@]}" -gt 0 ]; then
  echo
  printf '%s\n' "${notes[@]}"
fi
