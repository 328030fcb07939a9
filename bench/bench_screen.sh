#!/usr/bin/env bash
# The screen refresh of the main window (56 lines anywhere in a 1,000,000-line Japanese
# file, drawn on the real widget offscreen) against sed printing the same 56 lines.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
if [ ! -f "$src" ]; then
  mkdir -p "$DATA"
  # 1,000,000 Shift_JIS lines with CR LF, about 100 MB.
  awk 'BEGIN { for (i = 1; i <= 1000000; i++)
         printf "%07d 吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。ｶﾀｶﾅ text %d\r\n", i, i * 7 }' \
    | iconv -f UTF-8 -t CP932 > "$src.tmp"
  mv "$src.tmp" "$src"
fi
cmake --build build --target bench_screen >/dev/null
out=$(build/bench/screen/bench_screen "$src" 2000 2>/dev/null)
median=$(echo "$out" | awk '/^refresh median/ { print $3 }')
worst=$(echo "$out" | awk '/^refresh median/ { print $9 }')
numbered=$(echo "$out" | awk '/^with line numbers/ { print $5 }')
# The peer: sed printing 56 lines from the middle of the file (it reads up to them).
peer=$(seconds 5 sed -n '500000,500055p;500056q' "$src")
k=$(echo "scale=6; $median / 1000" | bc -l)
row "screen refresh, 56 of 1,000,000 lines (median; worst $worst ms; with line numbers $numbered ms)" \
  "$(printf '%.6f' "$k")" "sed -n (middle)" "$peer"
