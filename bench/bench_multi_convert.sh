#!/usr/bin/env bash
# The multi-file conversion (kind 2, EUC-JP to Shift_JIS) and line deletion over 1,000 files
# cut from the 1,000,000-line Japanese text (100 MB in all), in place, against an
# iconv + mv loop and sed -i. Every run starts from a fresh copy of the files; the copy's
# time is measured alone and not counted. A last row gives the peak memory.
# Usage: bench/bench_multi_convert.sh [LINES]  (the first LINES lines only, for a quick run)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_multi_XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$DATA/japanese_1m.txt
if [ -n "${1:-}" ]; then
  head -n "$1" "$src" > "$work/src.txt"
  src=$work/src.txt
fi
size="$(( $(stat -c %s "$src") / 1000000 )) MB"
mkdir -p "$work/sjis" "$work/euc"
split -n l/1000 -a 4 -d --additional-suffix=.txt "$src" "$work/sjis/f"
for f in "$work"/sjis/*.txt; do
  iconv -f CP932 -t EUC-JP "$f" > "$work/euc/$(basename "$f")" 2>/dev/null || cp "$f" "$work/euc/$(basename "$f")"
done

fresh() {  # fresh copy of MASTER as $work/run
  rm -rf "$work/run"
  cp -r "$1" "$work/run"
}
timed() {  # MASTER CMD…: seconds of CMD on a fresh copy, the copy not counted
  local master=$1; shift
  local total copy
  total=$(seconds 3 sh -c "rm -rf '$work/run' && cp -r '$master' '$work/run' && $*")
  copy=$(seconds 3 sh -c "rm -rf '$work/run' && cp -r '$master' '$work/run'")
  echo "$total - $copy" | bc -l | xargs printf '%.3f'
}

k=$(timed "$work/euc" "'$TOOL' multi-convert 2 '$work/run'")
p=$(timed "$work/euc" "for f in '$work'/run/*.txt; do iconv -f EUC-JP -t CP932 \"\$f\" > \"\$f.tmp\" && mv \"\$f.tmp\" \"\$f\"; done")
row "multi-convert 2 (EUC-JP), 1,000 files, $size" "$k" "iconv + mv loop" "$p"
k=$(timed "$work/sjis" "'$TOOL' multi-delete-lines '$work/run' --rule 00001=1")
p=$(timed "$work/sjis" "LC_ALL=C sed -i '/^00001/d' '$work'/run/*.txt")
row "multi-delete-lines --rule 00001=1, 1,000 files, $size" "$k" "sed -i" "$p"

fresh "$work/euc"
kb1=$(/usr/bin/time -f %M "$TOOL" multi-convert 2 "$work/run" 2>&1 >/dev/null | tail -1)
fresh "$work/sjis"
kb2=$(/usr/bin/time -f %M "$TOOL" multi-delete-lines "$work/run" --rule 00001=1 2>&1 >/dev/null | tail -1)
echo "| multi-convert / multi-delete-lines: peak memory on $size (MB) | $((kb1 / 1024)) | /usr/bin/time -f %M | $((kb2 / 1024)) | |"
