#!/usr/bin/env bash
# The whole-file transforms and the line-range tools on the 1,000,000-line Japanese text
# (and an EUC-JP copy), each with -o beside the file, against the tool a user would pick.
# A last row gives the largest peak memory of the transforms on it and on a 1 MB input.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
euc=$DATA/japanese_1m_euc.txt
[ -f "$euc" ] || iconv -f CP932 -t EUC-JP "$src" > "$euc"
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_transforms_XXXXXX")
trap 'rm -rf "$work"' EXIT
head -n 10000 "$src" > "$work/small.txt"

pair() {  # TASK PEER_NAME "KOLBRAN ARGS" "PEER SHELL COMMAND"
  local k p
  # shellcheck disable=SC2086
  k=$(seconds 3 "$TOOL" $3)
  p=$(seconds 3 sh -c "$4")
  row "$1" "$k" "$2" "$p"
}

pair "right-trim 100 MB" "sed 's/ *\\r\$/\\r/'" "right-trim $src -o $work/k.txt --force" \
  "sed 's/ *\r\$/\r/' '$src' > '$work/p.txt'"
pair "delete-lines --rule 001=1" "grep -av '^001'" "delete-lines $src --rule 001=1 -o $work/k.txt --force" \
  "LC_ALL=C grep -av '^001' '$src' > '$work/p.txt'"
pair "to-crlf 100 MB" "sed 's/\$/\\r/'" "to-crlf $src -o $work/k.txt --force" \
  "sed 's/\$/\r/' '$src' > '$work/p.txt'"
pair "to-lf 100 MB" "sed 's/\\r\$//'" "to-lf $src -o $work/k.txt --force" \
  "sed 's/\r\$//' '$src' > '$work/p.txt'"
pair "remove-line-ends 100 MB" "tr -d '\\r\\n'" "remove-line-ends $src -o $work/k.txt --force" \
  "tr -d '\r\n' < '$src' > '$work/p.txt'"
pair "word-wrap 80 100 MB" "fold -b -w 80" "word-wrap $src --width 80 -o $work/k.txt --force" \
  "fold -b -w 80 '$src' > '$work/p.txt'"
pair "save-code 1 (EUC-JP) 100 MB" "iconv -f EUC-JP -t CP932" "save-code $euc --code 1 -o $work/k.txt --force" \
  "iconv -f EUC-JP -t CP932 '$euc' > '$work/p.txt'"
pair "line-copy 4,097 lines from line 500,000" "sed -n 'a,bp;bq'" "line-copy $src 500000 504096" \
  "sed -n '500000,504096p;504096q' '$src'"
cp "$src" "$work/d.txt"
k=$(seconds 3 sh -c "cp '$src' '$work/d.txt' && '$TOOL' line-delete '$work/d.txt' 500000 532767")
p=$(seconds 3 sh -c "cp '$src' '$work/d.txt' && sed '500000,532767d' '$work/d.txt' > '$work/p.txt'")
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
echo "| transforms: peak memory on 100 MB / on 1 MB (MB) | $big | /usr/bin/time -f %M | $small | |"
