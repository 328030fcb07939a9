#!/usr/bin/env bash
# The file compare (kolbran-tool compare -o) on the first 300,000 lines of the benchmark text
# against diff: a copy with 1 % of the lines changed, and one with every line changed.
# Time and peak memory (GNU time) of both.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_compare_XXXXXX")
trap 'rm -rf "$work"' EXIT
head -n 300000 "$src" > "$work/old.txt"
LC_ALL=C awk 'NR % 100 == 0 { sub(/\r$/, ""); printf "%s changed\r\n", $0; next } { print }' "$work/old.txt" > "$work/some.txt"
LC_ALL=C awk '{ sub(/\r$/, ""); printf "%s!\r\n", $0 }' "$work/old.txt" > "$work/all.txt"

# peak_kb CMD…: the peak resident set of one run, in KB.
peak_kb() {
  /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$work/rss"
}

for case in some all; do
  label="1 % of the lines changed"
  [ "$case" = all ] && label="every line changed"
  k=$(seconds 3 "$TOOL" compare "$work/old.txt" "$work/$case.txt" -o "$work/list.txt" --force)
  p=$(seconds 3 sh -c "diff '$work/old.txt' '$work/$case.txt' > '$work/diff.txt'")
  row "compare 300,000 lines, $label" "$k" "diff" "$p"
  km=$(peak_kb "$TOOL" compare "$work/old.txt" "$work/$case.txt" -o "$work/list.txt" --force)
  pm=$(peak_kb sh -c "exec diff '$work/old.txt' '$work/$case.txt' > '$work/diff.txt'")
  row "compare 300,000 lines, $label: peak memory (MB)" "$(echo "scale=1; $km / 1024" | bc -l)" "diff" \
    "$(echo "scale=1; $pm / 1024" | bc -l)"
done
