#!/usr/bin/env bash
# Peak memory of tovrapdf-cli on a batch of very large bitmaps at several thread counts: the raw
# pixels waiting for compression are held to a byte budget, so the peak must stay below
# budget + one picture + 100 MB whatever the number of threads. Not part of CI. See bench/README.md.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)

cli="$repo/build/src/cli/tovrapdf-cli"
count=10
side=16384  # 16384 x 16384 = 256 megapixels, the largest picture the readers accept
threads="1 2 8"
work="${TMPDIR:-/tmp}/tovra-bench"

usage() {
  cat <<EOF
usage: bench/memory_budget.sh [options]
  --cli PATH       tovrapdf-cli to measure (default: build/src/cli/tovrapdf-cli)
  --count N        pictures in the batch (default: $count)
  --side N         each picture is N x N pixels, 8-bit palette BMP (default: $side)
  --threads "A B"  TOVRA_THREADS values to measure (default: "$threads")
  --work DIR       the picture and the outputs (default: $work); the picture is kept for reruns
EOF
}

while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --count) count=$2; shift 2 ;;
    --side) side=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
  esac
done
[ -x "$cli" ] || { echo "$cli does not exist: build tovrapdf-cli first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }

# One 8-bit palette BMP, written row by row. Each row recolours one pattern differently, so
# that rows do not repeat: it compresses about as slowly as a photo, and the raw pixels of the
# next pictures pile up while the threads compress (a pattern that compresses fast never lets
# them).
mkdir -p "$work"
picture="$work/pattern-$side.bmp"
if [ ! -f "$picture" ]; then
  echo "making a $side x $side palette BMP ..." >&2
  /usr/bin/python3 - "$picture.tmp" "$side" <<'EOF'
import struct, sys
path, side = sys.argv[1], int(sys.argv[2])
row = (side + 3) // 4 * 4
pixels = row * side
with open(path, "wb") as out:
    out.write(b"BM" + struct.pack("<IHHI", 14 + 40 + 1024 + pixels, 0, 0, 14 + 40 + 1024))
    out.write(struct.pack("<IiiHHIIiiII", 40, side, side, 1, 8, 0, pixels, 2835, 2835, 256, 0))
    out.write(b"".join(bytes((i, 255 - i, (i * 7) & 0xFF, 0)) for i in range(256)))
    base = bytes(((x * 7) ^ (x >> 5)) & 0xFF for x in range(row))
    for y in range(side):
        shade = bytes(((i ^ (y >> 3)) + y * 3) & 0xFF for i in range(256))
        out.write(base.translate(shade))
EOF
  mv "$picture.tmp" "$picture"
fi
inputs=()
for ((i = 0; i < count; i++)); do inputs+=("$picture"); done

picture_mib=$(( $(stat -c %s "$picture") / 1048576 ))
echo "Tovra PDF memory budget: $count pictures of $side x $side ($picture_mib MiB of pixels each), $(nproc) cores"
echo "load average before measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-14s %10s %10s\n' "TOVRA_THREADS" "seconds" "peak MiB"
for n in $threads; do
  out="$work/budget-$n.pdf"
  start=$(date +%s.%N)
  peak_kib=$(TOVRA_THREADS=$n /usr/bin/time -f %M "$cli" -q -f -s full -m 0 -o "$out" "${inputs[@]}" 2>&1 >/dev/null | tail -n 1)
  end=$(date +%s.%N)
  printf '%-14s %10.1f %10d\n' "$n" "$(awk "BEGIN { print $end - $start }")" $((peak_kib / 1024))
  rm -f "$out"
done
