#!/usr/bin/env bash
# The whole-file transforms and the line-range tools on the 1,000,000-line Japanese text
# (and an EUC-JP copy), each with -o beside the file, against the tool a user would pick.
# A last row gives the largest peak memory of the transforms on it and on a 1 MB input.
# Usage: bench/bench_transforms.sh [LINES]  (the first LINES lines only, for a quick run)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_transforms_XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$DATA/japanese_1m.txt
euc=$DATA/japanese_1m_euc.txt
size="100 MB"
if [ -z "${1:-}" ]; then
  [ -f "$euc" ] || iconv -f CP932 -t EUC-JP "$src" > "$euc"
else
  head -n "$1" "$src" > "$work/src.txt"
  iconv -f CP932 -t EUC-JP "$work/src.txt" > "$work/euc.txt"
  src=$work/src.txt
  euc=$work/euc.txt
  size="$(( $(stat -c %s "$src") / 1000000 )) MB"
fi
lines=$(wc -l < "$src")
mid=$(( lines / 2 ))
head -n 10000 "$DATA/japanese_1m.txt" > "$work/small.txt"

pair() {  # TASK PEER_NAME "KOLBRAN ARGS" "PEER SHELL COMMAND"
  local k p
  # shellcheck disable=SC2086
  k=$(seconds 3 "$TOOL" $3)
  p=$(seconds 3 sh -c "$4")
  row "$1" "$k" "$2" "$p"
}

pair "right-trim $size" "sed 's/ *\\r\$/\\r/'" "right-trim $src -o $work/k.txt --force" \
  "sed 's/ *\r\$/\r/' '$src' > '$work/p.txt'"
pair "delete-lines --rule 001=1" "grep -av '^001'" "delete-lines $src --rule 001=1 -o $work/k.txt --force" \
  "LC_ALL=C grep -av '^001' '$src' > '$work/p.txt'"
pair "to-crlf $size" "sed 's/\$/\\r/'" "to-crlf $src -o $work/k.txt --force" \
  "sed 's/\$/\r/' '$src' > '$work/p.txt'"
pair "to-lf $size" "sed 's/\\r\$//'" "to-lf $src -o $work/k.txt --force" \
  "sed 's/\r\$//' '$src' > '$work/p.txt'"
pair "remove-line-ends $size" "tr -d '\\r\\n'" "remove-line-ends $src -o $work/k.txt --force" \
  "tr -d '\r\n' < '$src' > '$work/p.txt'"
pair "word-wrap 80 $size" "fold -b -w 80" "word-wrap $src --width 80 -o $work/k.txt --force" \
  "fold -b -w 80 '$src' > '$work/p.txt'"
pair "save-code 1 (EUC-JP) $size" "iconv -f EUC-JP -t CP932" "save-code $euc --code 1 -o $work/k.txt --force" \
  "iconv -f EUC-JP -t CP932 '$euc' > '$work/p.txt'"
pair "line-copy 4,097 lines from line $mid" "sed -n 'a,bp;bq'" "line-copy $src $mid $((mid + 4096))" \
  "sed -n '$mid,$((mid + 4096))p;$((mid + 4096))q' '$src'"
cp "$src" "$work/d.txt"
k=$(seconds 3 sh -c "cp '$src' '$work/d.txt' && '$TOOL' line-delete '$work/d.txt' $mid $((mid + 32767))")
p=$(seconds 3 sh -c "cp '$src' '$work/d.txt' && sed '$mid,$((mid + 32767))d' '$work/d.txt' > '$work/p.txt'")
c=$(seconds 3 cp "$src" "$work/d.txt")
row "line-delete 32,768 lines (copy of the file not counted)" "$(echo "$k - $c" | bc -l | xargs printf '%.3f')" \
  "sed 'a,bd'" "$(echo "$p - $c" | bc -l | xargs printf '%.3f')"

peak() {  # the peak resident set in MB of the transforms on FILE
  local file=$1 most=0 kb
  for args in "right-trim $file" "delete-lines $file --rule 001=1" "to-crlf $file" "to-lf $file" \
              "remove-line-ends $file" "word-wrap $file --width 80"; do
    # shellcheck disable=SC2086
    kb=$(/usr/bin/time -f %M "$TOOL" $args -o "$work/m.txt" --force 2>&1 >/dev/null | tail -1)
    [ "$kb" -gt "$most" ] && most=$kb
  done
  echo $((most / 1024))
}
big=$(peak "$src")
small=$(peak "$work/small.txt")
echo "| transforms: peak memory on $size / on 1 MB (MB) | $big | /usr/bin/time -f %M | $small | |"
