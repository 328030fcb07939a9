#!/usr/bin/env bash
# The multi-file replacement (kolbran-tool multi-replace) over 1,000 Shift_JIS files of about
# 100 KB each (100 MB in all, a word on 1 % of the lines) against LC_ALL=C sed -i on the same
# files, and its peak memory. Each round replaces the word by another and the next round back,
# so that every timed run has the same work.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_mreplace_XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/k" "$work/p"
LC_ALL=C awk -v dir="$work/k" '{
  sub(/\r$/, "")
  f = sprintf("%s/f%04d.txt", dir, int((NR - 1) / 1000))
  printf "%s%s\r\n", $0, (NR % 100 == 0 ? " Needle" : "") > f
  if (NR % 1000 == 0) close(f)
}' "$src"
cp "$work"/k/*.txt "$work/p/"

best() {  # best of two timed rounds: there and back
  local a b
  a=$(seconds 1 "$@" Needle Pin)
  b=$(seconds 1 "$@" Pin Needle)
  if [ "$(echo "$a < $b" | bc -l)" = 1 ]; then echo "$a"; else echo "$b"; fi
}
kolbran_replace() { "$TOOL" multi-replace "$work/k" --from "$1" --to "$2"; }
sed_replace() { LC_ALL=C sed -i "s/$1/$2/g" "$work"/p/*.txt; }
k=$(best kolbran_replace)
p=$(best sed_replace)
row "multi-replace a word on 1 % of the lines of 1,000 files (100 MB)" "$k" "sed -i s///g" "$p"
if [ -x /usr/bin/time ]; then
  m=$(/usr/bin/time -f %M "$TOOL" multi-replace "$work/k" --from Needle --to Pin 2>&1 >/dev/null | tail -n 1)
  echo "| peak RSS multi-replace 1,000 files (100 MB) | $((m / 1024)) MB | | | |"
fi
