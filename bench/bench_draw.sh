#!/usr/bin/env bash
# draw --png against ImageMagick's convert mvg: on the same figures: 1,000,000 points in the
# RGB form on 1000 × 1000 pixels, and 100,000 lines, boxes and circles in millimetres.
# Peak memory of the first run is reported beside the bitmap's own size.
# Drawing files end their lines with CR LF (a lone LF is data).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_draw_XXXXXX")
trap 'rm -rf "$work"' EXIT

# 999,998 points and two setting lines: the viewer indexes up to 1,000,000 lines.
points=${DRAW_POINTS:-999998}
figures=${DRAW_FIGURES:-100000}
side=1000
# The peer reads its drawing as an MVG picture (the security policy refuses -draw @file).
awk -v ORS="\r\n" -v n="$points" -v side="$side" -v out="$work/points.mvg" 'BEGIN {
  srand(7); print "ImgSize," side "," side; print "ScaleMode,3"
  print "viewbox 0 0 " side " " side > out; print "fill white rectangle 0,0 " side " " side > out
  for (i = 0; i < n; i++) {
    x = i % side; y = int(i / side) % side; r = int(rand() * 256); g = int(rand() * 256); b = int(rand() * 256)
    print "Pset," x "," y ",RGB," r "," g "," b
    print "fill rgb(" r "," g "," b ") point " x "," y > out
  }
}' > "$work/points.byg"
awk -v ORS="\r\n" -v n="$figures" -v side="$side" -v out="$work/figures.mvg" 'BEGIN {
  srand(11); print "ImgSize," side "," side; print "ScaleMode,6"
  print "viewbox 0 0 " side " " side > out; print "fill white rectangle 0,0 " side " " side > out
  print "fill none" > out; print "stroke black" > out; print "stroke-width 1" > out
  k = 96 / 25.4
  for (i = 0; i < n; i++) {
    x1 = rand() * 260; y1 = rand() * 260; x2 = rand() * 260; y2 = rand() * 260; r = 1 + rand() * 20
    if (i % 3 == 0) { print "Line," x1 "," y1 "," x2 "," y2 ",0"; print "line " x1*k "," y1*k " " x2*k "," y2*k > out }
    else if (i % 3 == 1) { print "Line," x1 "," y1 "," x2 "," y2 ",0,B"; print "rectangle " x1*k "," y1*k " " x2*k "," y2*k > out }
    else { print "Circle," x1 "," y1 "," r ",0"; print "circle " x1*k "," y1*k " " (x1 + r)*k "," y1*k > out }
  }
}' > "$work/figures.byg"

for set in points figures; do
  "$TOOL" draw "$work/$set.byg" --png -o "$work/k_$set.png" --force >/dev/null 2>&1 ||
    echo "| draw: $set.byg failed | | | | |"
  k=$(seconds 3 "$TOOL" draw "$work/$set.byg" --png -o "$work/k_$set.png" --force)
  convert "mvg:$work/$set.mvg" "$work/p_$set.png" >/dev/null 2>&1 || echo "| draw: convert failed on $set.mvg | | | | |"
  p=$(seconds 3 convert "mvg:$work/$set.mvg" "$work/p_$set.png")
  if [ "$set" = points ]; then label="draw --png $points points (RGB form)"; else label="draw --png $figures lines, boxes, circles (mm)"; fi
  row "$label" "$k" "convert mvg:" "$p"
done
/usr/bin/time -f '%M' -o "$work/mem" "$TOOL" draw "$work/points.byg" --png -o "$work/m.png" --force >/dev/null 2>&1 || true
peak=$(tail -1 "$work/mem")
echo "| draw: peak memory of the points run | ${peak} KB | bitmap | $((side * side * 4 / 1024)) KB | |"
