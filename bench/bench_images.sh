#!/usr/bin/env bash
# The image window's operations and the contact sheet against ImageMagick and jp2a:
# a 6000 × 4000 JPEG, a 1920 × 1080 PNG and a folder of 3000 × 2000 JPEGs (500 by default,
# IMAGES_LIST_COUNT to change). Peak memory of a turn and of the fitted print comes as rows too.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
for p in convert montage jp2a; do
  command -v "$p" >/dev/null || { echo "| images: $p missing (apt-get install imagemagick jp2a) | | | | |"; exit 0; }
done
count=${IMAGES_LIST_COUNT:-500}
mkdir -p "$DATA"
big=$DATA/photo_6000x4000.jpg
png=$DATA/screen_1920x1080.png
list=$DATA/photos_$count
[ -f "$big" ] || convert -size 6000x4000 gradient:navy-orange -quality 90 "$big"
[ -f "$png" ] || convert -size 1920x1080 plasma:fractal -seed 7 "$png"
if [ ! -d "$list" ]; then
  mkdir -p "$list"
  convert -size 3000x2000 gradient:green-yellow -quality 85 "$list/p0000.jpg"
  for i in $(seq 1 $((count - 1))); do cp "$list/p0000.jpg" "$list/$(printf 'p%04d.jpg' "$i")"; done
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_images_XXXXXX")
trap 'rm -rf "$work"' EXIT

rss() {  # peak resident MB of one run
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.0f", $1 / 1024}'
}

for src in "$big" "$png"; do
  name=$(basename "$src")
  k=$(seconds 3 "$TOOL" image "$src" --right -o "$work/k.bmp" --force)
  p=$(seconds 3 convert "$src" -rotate 90 "$work/p.bmp")
  row "image --right $name" "$k" "convert -rotate 90" "$p"
  k=$(seconds 3 "$TOOL" image "$src" --grey -o "$work/k.bmp" --force)
  p=$(seconds 3 convert "$src" -grayscale Average -type TrueColor "$work/p.bmp")
  row "image --grey $name" "$k" "convert -grayscale Average" "$p"
  k=$(seconds 3 "$TOOL" image-text "$src" -o "$work/k.txt" --force)
  p=$(seconds 3 sh -c "jp2a --width=174 '$src' > '$work/p.txt'")
  row "image-text $name" "$k" "jp2a --width=174" "$p"
done
k=$(seconds 1 "$TOOL" image-analyse "$png" -o "$work/k.txt" --force)
p=$(seconds 1 convert "$png" "$work/p.txt")
row "image-analyse 1920x1080" "$k" "convert … txt:" "$p"

ls "$list" | head -16 | sed "s|^|$list/|" > "$work/16.txt"
k=$(seconds 3 "$TOOL" image-list "$list" --page 1 -o "$work/k_sheet.bmp" --force)
p=$(seconds 3 sh -c "montage @'$work/16.txt' -tile 4x4 -geometry 168x168+12+10 '$work/p_sheet.bmp'")
row "image-list --page 1 (16 of 3000x2000)" "$k" "montage -tile 4x4" "$p"
k=$(seconds 1 "$TOOL" image-list-print "$list" --fitted -o "$work/k_sheet.pdf" --force)
p=$(seconds 1 sh -c "montage '$list'/*.jpg -tile 4x5 -geometry 531x531+10+10 '$work/p_sheet.pdf'")
row "image-list-print --fitted ($count of 3000x2000)" "$k" "montage -tile 4x5 pdf" "$p"

if [ -x /usr/bin/time ]; then
  decoded=$((6000 * 4000 * 4 / 1048576))
  echo "| peak RSS image --right 6000x4000 (decoded $decoded MB) | $(rss "$TOOL" image "$big" --right -o "$work/k.bmp" --force) MB | | | |"
  echo "| peak RSS image-list-print --fitted $count | $(rss "$TOOL" image-list-print "$list" --fitted -o "$work/k_sheet.pdf" --force) MB | | | |"
fi
