#!/usr/bin/env bash
# Benchmarks tovrapdf-cli against img2pdf and ImageMagick on generated batches: JPEG photos, 24-bit
# and 8-bit BMPs, GIF photos and screenshots, PNG screenshots and photos, a multi-page Group 4 TIFF
# and HEIC photos. Not part of CI. See bench/README.md.
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
pngshot="50:1600x1000"
pngphoto="50:2000x1500"
g4tiff="50:2480x3508"
heic="10:3000x2000"
work="${TMPDIR:-/tmp}/tovra-bench"
install=1
compare=1
scale=""
pngscale=""
threads=0
compact=0

usage() {
  cat <<USAGE
usage: bench/run.sh [options]
  --cli PATH       tovrapdf-cli to measure (default: build/src/cli/tovrapdf-cli)
  --runs N         timed runs per tool and batch, after one warm-up run (default: $runs)
  --jpeg N:WxH     N JPEG photos of W x H pixels (default: $jpeg; N = 0 leaves the batch out)
  --bmp24 N:WxH    N 24-bit BMPs (default: $bmp24)
  --bmp8 N:WxH     N 8-bit palette BMPs (default: $bmp8)
  --gifphoto N:WxH N GIF photos, 256 colours (default: $gifphoto)
  --gifshot N:WxH  N GIF screenshots: flat colours and text (default: $gifshot)
  --pngshot N:WxH  N PNG screenshots, 8-bit RGB (default: $pngshot)
  --pngphoto N:WxH N PNG photos, 8-bit RGB (default: $pngphoto)
  --g4tiff N:WxH   one TIFF of N bilevel text pages in Group 4, one strip each, 300 dpi
                   (default: $g4tiff, A4)
  --heic N:WxH     N HEIC photos (heif-enc -q 50), against ImageMagick's convert (default: $heic)
  --work DIR       generated images and outputs (default: $work); images are kept for reruns
  --no-install     do not install missing packages
  --no-compare     measure only tovrapdf-cli and cat (img2pdf and ImageMagick's convert not needed)
  --scale N,N,...  also the JPEG scale series: N photos of 3000x2000 each (e.g. 50,200,500), made
                   from one batch of 50 by hard links, to see time and peak memory grow with N
  --pngscale N,... also the PNG photo scale series: N files from the --pngphoto batch by hard
                   links (e.g. 200,500), measured with tovrapdf-cli and cat
  --threads        also measure tovrapdf-cli with TOVRA_THREADS=1 (no worker threads) on every batch
  --compact        also measure tovrapdf-cli --compact on the BMP and GIF batches (with --threads,
                   also on one thread)
USAGE
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
    --pngshot) pngshot=$2; shift 2 ;;
    --pngphoto) pngphoto=$2; shift 2 ;;
    --g4tiff) g4tiff=$2; shift 2 ;;
    --heic) heic=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --no-install) install=0; shift ;;
    --no-compare) compare=0; shift ;;
    --scale) scale=$2; shift 2 ;;
    --pngscale) pngscale=$2; shift 2 ;;
    --threads) threads=1; shift ;;
    --compact) compact=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
  esac
done

for spec in "$jpeg" "$bmp24" "$bmp8" "$gifphoto" "$gifshot" "$pngshot" "$pngphoto" "$g4tiff" "$heic"; do
  [[ $spec =~ ^[0-9]+:[1-9][0-9]*x[1-9][0-9]*$ ]] || { echo "batch must look like N:WxH, not '$spec'" >&2; exit 2; }
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "--runs must be a positive number" >&2; exit 2; }
for series in "$scale" "$pngscale"; do
  [[ -z $series || $series =~ ^[1-9][0-9]*(,[1-9][0-9]*)*$ ]] || { echo "a scale series must look like 50,200,500" >&2; exit 2; }
done
if [ -n "$pngscale" ] && [ "${pngphoto%%:*}" -eq 0 ]; then echo "--pngscale needs the --pngphoto batch" >&2; exit 2; fi
count_of() { echo "${1%%:*}"; }

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
[ "$(count_of "$heic")" -eq 0 ] || command -v heif-enc >/dev/null || missing+=(libheif-examples)  # makes the HEIC files
[ "$(count_of "$g4tiff")" -eq 0 ] || command -v tiffcp >/dev/null || missing+=(libtiff-tools)      # joins the TIFF pages
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
# shellcheck source=bench/inputs.sh
source "$here/inputs.sh"

batches=()
leave_out=()
bitmaps="bmp24 bmp8 gifphoto gifshot"
for pair in "jpeg=$jpeg" "bmp24=$bmp24" "bmp8=$bmp8" "gifphoto=$gifphoto" "gifshot=$gifshot" \
            "pngshot=$pngshot" "pngphoto=$pngphoto" "g4tiff=$g4tiff" "heic=$heic"; do
  kind=${pair%%=*}
  dir=$(make_batch "$kind" "${pair#*=}")
  [ -n "$dir" ] || continue
  batches+=(--batch "$kind=$dir")
  # Compact mode changes only Flate-compressed pixels: BMP and GIF (PNG and G4 data pass through,
  # HEIC photos become JPEG). ImageMagick re-encodes every picture, which takes minutes on the
  # large batches: it is measured where img2pdf cannot be, on HEIC.
  out=(convert)
  [[ " $bitmaps " == *" $kind "* ]] || out+=(tovrapdf-compact tovrapdf-compact-1thread)
  [ "$kind" != heic ] || out=(img2pdf tovrapdf-compact tovrapdf-compact-1thread)
  leave_out+=(--leave-out "$kind=$(IFS=,; echo "${out[*]}")")
done
# The scale series: the same files over and over under new names, to see time and peak memory as
# the batch grows; only tovrapdf-cli and cat, whose memory does not hold the whole batch.
series() {  # name source extension counts
  local count dir
  for count in ${4//,/ }; do
    dir=$(make_scale_batch "$1" "$2" "$count" "$3")
    batches+=(--batch "$1-scale-$count=$dir")
    [ "$1" = jpeg ] || leave_out+=(--leave-out "$1-scale-$count=convert,img2pdf,tovrapdf-1thread,tovrapdf-compact,tovrapdf-compact-1thread")
  done
}
if [ -n "$scale" ]; then series jpeg "$(make_batch jpeg "50:3000x2000")" jpg "$scale"; fi
if [ -n "$pngscale" ]; then series png "$(make_batch pngphoto "$pngphoto")" png "$pngscale"; fi
[ "${#batches[@]}" -gt 0 ] || { echo "no batch to convert" >&2; exit 2; }

# --- the tools -------------------------------------------------------------------------------
tools=()
notes=()
namespace=()
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
fi
# ImageMagick's convert takes part in the HEIC batch and the JPEG scale series.
if [ "$compare" -eq 1 ] && { [ "$(count_of "$heic")" -gt 0 ] || [ -n "$scale" ]; }; then
  # Debian's ImageMagick policy forbids writing PDF; try it on a small picture first. As root,
  # the measuring then runs in a private mount namespace that sees a copy of the policy allowing
  # PDF (the system's file is not touched).
  probe_dir=$(mktemp -d)
  trap 'rm -rf "$probe_dir"' EXIT
  "$im" -size 8x8 xc:gray "$probe_dir/probe.jpg"
  policy=$(find /etc/ImageMagick-6/policy.xml /etc/ImageMagick-7/policy.xml 2>/dev/null | head -n 1 || true)
  if probe_error=$("$im" "$probe_dir/probe.jpg" "$probe_dir/probe.pdf" 2>&1) && [ -s "$probe_dir/probe.pdf" ]; then
    tools+=(--tool "convert=$im")
  elif [ "$(id -u)" -eq 0 ] && [ -n "$policy" ] && command -v unshare >/dev/null &&
       sed 's/rights="none" pattern="PDF"/rights="read|write" pattern="PDF"/' "$policy" > "$probe_dir/policy.xml" &&
       unshare -m sh -c 'mount --bind "$1" "$2" && exec "$3" "$4" "$5"' sh "$probe_dir/policy.xml" "$policy" \
         "$im" "$probe_dir/probe.jpg" "$probe_dir/probe.pdf" 2>/dev/null && [ -s "$probe_dir/probe.pdf" ]; then
    tools+=(--tool "convert=$im")
    namespace=(unshare -m sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' sh "$probe_dir/policy.xml" "$policy")
    notes+=("note: ImageMagick's policy forbids PDF output; convert ran in a private mount namespace with a copy that allows it.")
  else
    notes+=("note: ImageMagick convert not measured: its security policy forbids PDF output" \
            "  ($(echo "$probe_error" | head -n 1 | cut -c1-100))." \
            "  To include it, allow the PDF coder in /etc/ImageMagick-*/policy.xml, or run this script as root.")
  fi
fi
tools+=(--tool "cat=cat")

echo "Tovra PDF benchmark: $(nproc) cores, $runs timed rounds (every tool once per round, in turn) after one warm-up; $(date -u '+%Y-%m-%d %H:%M UTC')"
if [ "$compare" -eq 1 ]; then
  echo "tools: $("$im" -version | head -n 1 | cut -d' ' -f2-3); img2pdf $("$img2pdf" --version 2>&1 | awk '{print $2}')"
fi
echo "load average before measuring: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine makes the times noisy)"
"${namespace[@]}" python3 "$here/measure.py" --runs "$runs" --work "$work/out" "${batches[@]}" "${leave_out[@]}" "${tools[@]}"
if [ "${#notes[@]}" -gt 0 ]; then
  echo
  printf '%s\n' "${notes[@]}"
fi
