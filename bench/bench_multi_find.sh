#!/usr/bin/env bash
# The multi-file search over a folder tree (kolbran-tool multi-find --tree) against grep -r:
# FILES files (10,000 by default) holding MB megabytes in all (1,000 by default), a word on
# 1 % of the lines (grep -rni) and a word found nowhere (grep -rc), grep in the C locale with -a
# (the Shift_JIS text is binary to it otherwise). The files are the
# benchmark text cut in pieces, ten hard-linked copies of the pieces in ten folders of
# sub-folders of 100 files each. A last row gives multi-find's peak memory.
# Usage: bench/bench_multi_find.sh [FILES [MB]]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
files=${1:-10000}
mb=${2:-1000}
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_multi_find_XXXXXX")
trap 'rm -rf "$work"' EXIT

# One tenth of the text with "Needle" on every 100th line, cut into files/10 pieces.
base_bytes=$(( mb * 100000 ))
head -c "$base_bytes" "$src" | LC_ALL=C awk 'NR % 100 == 0 { sub(/\r$/, ""); printf "%s Needle\r\n", $0; next } { print }' > "$work/base.txt"
mkdir "$work/pieces"
per=$(( ( $(stat -c %s "$work/base.txt") + files / 10 - 1 ) / ( files / 10 ) ))
split -C "$per" -a 5 -d --additional-suffix=.txt "$work/base.txt" "$work/pieces/p"
tree=$work/tree
for t in $(seq 0 9); do
  i=0
  for f in "$work"/pieces/p*.txt; do
    d=$tree/t$t/s$(( i / 100 ))
    [ -d "$d" ] || mkdir -p "$d"
    ln "$f" "$d/"
    i=$(( i + 1 ))
  done
done
count=$(find "$tree" -type f | wc -l)
size="$count files, $(( $(du -sb --count-links "$tree" | cut -f1) / 1000000 )) MB"

k=$(seconds 3 sh -c "'$TOOL' multi-find needle '$tree' --tree > '$work/k.out'")
p=$(seconds 3 sh -c "LC_ALL=C grep -arni needle '$tree' > '$work/p.out'")
row "multi-find --tree, a word on 1 % of the lines ($size)" "$k" "grep -rni" "$p"
k=$(seconds 3 sh -c "'$TOOL' multi-find qzxjvw '$tree' --tree --case > '$work/k.out'")
p=$(seconds 3 sh -c "LC_ALL=C grep -arc qzxjvw '$tree' > '$work/p.out'")
row "multi-find --tree, a word found nowhere ($size)" "$k" "grep -rc" "$p"

"$TOOL" multi-find needle "$tree" --tree > "$work/k.out" 2>/dev/null || true
found=$(wc -l < "$work/k.out")
expected=$(LC_ALL=C grep -arni needle "$tree" | wc -l)
[ "$found" = "$expected" ] || echo "| multi-find: $found lines listed, grep finds $expected | | | | |"

if [ -x /usr/bin/time ]; then
  km=$( /usr/bin/time -f %M "$TOOL" multi-find needle "$tree" --tree 2>&1 >/dev/null | tail -n 1)
  pm=$( /usr/bin/time -f %M env LC_ALL=C grep -arni needle "$tree" 2>&1 >/dev/null | tail -n 1)
  row "multi-find --tree peak memory (KB, $size)" "$km" "grep -rni (KB)" "$pm"
fi
