# The benchmark's pictures, made locally by ImageMagick (and heif-enc, tiffcp) from generated
# pictures; sourced by bench/run.sh, which sets $im (ImageMagick's convert) and $work.
# Every batch is kept under $work/inputs and reused while its folder holds a .complete mark.

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

# A scanned page of text per size (pixels at 300 dpi): black lines of words in paragraphs on white,
# with a heading, as a letter or a report looks on paper; grey edges of the letters kept for the
# threshold that makes each page bilevel.
base_text_page() {  # WxH -> path
  local size=$1 path="$work/inputs/text-$1.png"
  local width=${size%x*} height=${size#*x}
  if [ ! -f "$path" ]; then
    mkdir -p "$work/inputs"
    echo "making a $size base text page ..." >&2
    local words=(the invoice of march was paid in full and the remaining amount is due before
                 end next month please find enclosed copy signed contract with our terms delivery)
    local margin=$((width / 10)) step=$((height / 60)) point=$((height / 90))
    local args=(-size "$size" xc:white -fill black -font DejaVu-Serif -pointsize $((point * 2))
                -annotate "+$margin+$((step * 4))" "Report on the accounts of the year"
                -pointsize "$point")
    local y line k n
    for ((y = step * 7, n = 0; y < height - step * 4; y += step, n++)); do
      ((n % 9 == 8)) && continue  # a blank line between paragraphs
      line=""
      for ((k = 0; k < 11 + (n * 7) % 5; k++)); do line+="${words[(n * 3 + k * 5) % ${#words[@]}]} "; done
      args+=(-annotate "+$margin+$y" "$line")
    done
    "$im" "${args[@]}" "$path.tmp.png"
    mv "$path.tmp.png" "$path"
  fi
  echo "$path"
}

# One picture of a batch: the i-th shifted and recoloured copy of its base picture.
make_image() {  # kind base i folder WxH
  local kind=$1 base=$2 i=$3 dir=$4 size=$5
  local roll="+$((i * 397))+$((i * 211))" hue=$(((i * 37) % 200))
  case "$kind" in
    jpeg) "$im" "$base" -roll "$roll" -modulate 100,$((80 + i % 40)),$hue \
            -quality 90 "$dir/$(printf 'photo%03d' "$i").jpg" ;;
    bmp24) "$im" "$base" -roll "$roll" -modulate 100,100,$hue \
             -type TrueColor -compress None "BMP3:$dir/$(printf 'true%03d' "$i").bmp" ;;
    bmp8) "$im" "$base" -roll "$roll" -modulate 100,100,$hue -colors 256 \
            -type Palette -compress None "BMP3:$dir/$(printf 'palette%03d' "$i").bmp" ;;
    gifphoto) "$im" "$base" -roll "$roll" -modulate 100,100,$hue -colors 256 \
                "$dir/$(printf 'photo%03d' "$i").gif" ;;
    # Screenshots: shifted by whole text lines and recoloured, no dithering.
    gifshot) "$im" "$base" -roll "+0+$(((i * 21) % 400))" -modulate 100,100,$hue \
               +dither -colors 256 "$dir/$(printf 'screen%04d' "$i").gif" ;;
    # PNG as screenshot tools and cameras' converters write it: 8-bit RGB, not interlaced.
    pngshot) "$im" "$base" -roll "+0+$(((i * 21) % 400))" -modulate 100,100,$hue \
               "PNG24:$dir/$(printf 'screen%04d' "$i").png" ;;
    pngphoto) "$im" "$base" -roll "$roll" -modulate 100,100,$hue "PNG24:$dir/$(printf 'photo%03d' "$i").png" ;;
    heic) "$im" "$base" -roll "$roll" -modulate 100,$((80 + i % 40)),$hue "$dir/source.png"
          heif-enc -q 50 -o "$dir/$(printf 'photo%03d' "$i").heic" "$dir/source.png" >/dev/null
          rm -f "$dir/source.png" ;;
    # A scanned page: shifted by whole lines and a little sideways, bilevel, coded in Group 4 in
    # one strip per page at 300 dpi as scanners write it.
    g4page) "$im" "$base" -roll "+$(((i * 13) % 40))+$(((i * 37) % 600))" -threshold 50% -type bilevel \
              -units PixelsPerInch -density 300 -compress Group4 -define "tiff:rows-per-strip=${size#*x}" \
              "$dir/$(printf 'page%03d' "$i").tif" ;;
  esac
}

make_batch() {  # kind N:WxH -> folder (empty when N = 0)
  local kind=$1 count=${2%%:*} size=${2#*:}
  local dir="$work/inputs/$kind-$count-$size"
  [ "$count" -gt 0 ] || return 0
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    local base
    case "$kind" in
      gifshot|pngshot) base=$(base_screenshot "$size") ;;
      g4tiff) base=$(base_text_page "$size") ;;
      *) base=$(base_image "$size") ;;
    esac
    echo "making $count $kind images of $size ..." >&2
    local i
    if [ "$kind" = g4tiff ]; then
      # One multi-page file: the pages made one by one, then joined with their strips as they are.
      mkdir -p "$dir/pages"
      for ((i = 1; i <= count; i++)); do make_image g4page "$base" "$i" "$dir/pages" "$size"; done
      tiffcp -c g4 -r "${size#*x}" "$dir"/pages/page*.tif "$dir/scan.tif"
      rm -rf "$dir/pages"
    else
      for ((i = 1; i <= count; i++)); do make_image "$kind" "$base" "$i" "$dir" "$size"; done
    fi
    touch "$dir/.complete"
  fi
  echo "$dir"
}

# A scale series: `count` files of the batch in `source`, the same files over and over under new
# names (hard links, so the inputs take no more disk and every tool reads the same cached bytes).
make_scale_batch() {  # name source count extension -> folder
  local name=$1 source=$2 count=$3 extension=$4
  local dir="$work/inputs/$name-scale-$count-of-$(basename "$source")"
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    local sources i
    mapfile -t sources < <(find "$source" -name "*.$extension" | sort)
    for ((i = 0; i < count; i++)); do
      ln "${sources[i % ${#sources[@]}]}" "$dir/$(printf 'file%04d' "$i").$extension"
    done
    touch "$dir/.complete"
  fi
  echo "$dir"
}
