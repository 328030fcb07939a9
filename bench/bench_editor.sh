#!/usr/bin/env bash
# The editor's write-back (kolbran-tool splice: index, then one line replaced at line 900,000)
# against sed -i on the same line, and the whole-file replacement (kolbran-tool replace) of a
# word on 1 % of the lines and of one on every line against LC_ALL=C sed -i. Each run rewrites
# its file in place (the replacement keeps the word, so every run finds it again).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_editor_XXXXXX")
trap 'rm -rf "$work"' EXIT
LC_ALL=C awk '{ sub(/\r$/, ""); printf "%s%s Mark\r\n", $0, (NR % 100 == 0 ? " Needle" : "") }' "$src" > "$work/text.txt"
cp "$work/text.txt" "$work/peer.txt"
text=$work/text.txt
peer=$work/peer.txt
printf 'x\r\n' > "$work/line.txt"

k=$(seconds 3 "$TOOL" splice "$text" 900000 900000 --text-file "$work/line.txt")
p=$(seconds 3 sed -i '900000s/^/x/' "$peer")
row "save one line at line 900,000 of 1,000,000 (splice)" "$k" "sed -i" "$p"
k=$(seconds 3 "$TOOL" replace Needle Needle "$text")
p=$(seconds 3 env LC_ALL=C sed -i 's/Needle/Needle/g' "$peer")
row "replace a word on 1 % of 1,000,000 lines" "$k" "sed -i s///g" "$p"
k=$(seconds 3 "$TOOL" replace Mark Mark "$text")
p=$(seconds 3 env LC_ALL=C sed -i 's/Mark/Mark/g' "$peer")
row "replace a word on every line of 1,000,000" "$k" "sed -i s///g" "$p"
