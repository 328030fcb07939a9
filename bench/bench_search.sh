#!/usr/bin/env bash
# The search result list (kolbran-tool find) on the 1,000,000-line text file against grep -c:
# a word on 1 % of the lines and a word found nowhere, with and without letter case.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_search_XXXXXX")
trap 'rm -rf "$work"' EXIT
# The benchmark text with the word "Needle" added to every 100th line: 1 % of the lines.
LC_ALL=C awk 'NR % 100 == 0 { sub(/\r$/, ""); printf "%s Needle\r\n", $0; next } { print }' "$src" > "$work/text.txt"
text=$work/text.txt
# grep's output goes to a file: with /dev/null as its output it stops at the first match.

k=$(seconds 3 "$TOOL" find needle "$text")
p=$(seconds 3 sh -c "grep -ci needle '$text' > '$work/count'")
row "find a word on 1 % of 1,000,000 lines, case ignored" "$k" "grep -ci" "$p"
k=$(seconds 3 "$TOOL" find Needle "$text" --case)
p=$(seconds 3 sh -c "grep -c Needle '$text' > '$work/count'")
row "find a word on 1 % of 1,000,000 lines, exact case" "$k" "grep -c" "$p"
k=$(seconds 3 "$TOOL" find qzxjvw "$text")
p=$(seconds 3 sh -c "grep -ci qzxjvw '$text' > '$work/count'")
row "find a word found nowhere, case ignored" "$k" "grep -ci" "$p"
k=$(seconds 3 "$TOOL" find qzxjvw "$text" --case)
p=$(seconds 3 sh -c "grep -c qzxjvw '$text' > '$work/count'")
row "find a word found nowhere, exact case" "$k" "grep -c" "$p"

found=$("$TOOL" find needle "$text" 2>/dev/null | tail -n 1 | sed 's/.*は \([0-9,]*\)行.*/\1/; s/,//g')
expected=$(grep -ci needle "$text")
[ "$found" = "$expected" ] || echo "| find: $found lines listed, grep counts $expected | | | | |"
