#!/usr/bin/env bash
# Text printing to PDF (ＭＳ 明朝 10.5, header on) against paps printing the same text to PostScript.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_print_XXXXXX")
trap 'rm -rf "$work"' EXIT

# N generated Shift_JIS lines of mixed Japanese and ASCII text.
make_lines() {
  python3 - "$1" "$2" <<'PY'
import sys
n, path = int(sys.argv[1]), sys.argv[2]
words = ["日本語の文章", "テキスト", "ABC123", "印刷の試験", "ﾊﾝｶｸｶﾅ", "漢字かな交じり", "0123456789"]
with open(path, "wb") as f:
    for i in range(1, n + 1):
        line = f"{i:6d} " + " ".join(words[(i + k) % len(words)] for k in range(6))
        f.write(line.encode("cp932") + b"\r\n")
PY
}

# peak_kb CMD…: the peak resident set of one run, in KB.
peak_kb() {
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1
}

make_lines 10000 "$work/t10k.txt"
make_lines 100000 "$work/t100k.txt"

k=$(seconds 3 "$TOOL" print "$work/t10k.txt" -o "$work/k.pdf" --force --header 7 --font "ＭＳ 明朝" --size 10.5)
p=$(seconds 3 sh -c "paps --encoding=CP932 --font='IPAMincho 10.5' --header '$work/t10k.txt' > '$work/p.ps'")
row "print 10,000 lines to PDF" "$k" "paps --header (PostScript)" "$p"

k_rss=$(peak_kb "$TOOL" print "$work/t10k.txt" -o "$work/k.pdf" --force --header 7)
p_rss=$(peak_kb sh -c "paps --encoding=CP932 --font='IPAMincho 10.5' --header '$work/t10k.txt' > '$work/p.ps'")
k_rss100=$(peak_kb "$TOOL" print "$work/t100k.txt" -o "$work/k100.pdf" --force --header 7)
echo "| print peak memory, 10,000 lines (KB; 100,000 lines: $k_rss100) | $k_rss | paps (KB) | $p_rss | $(echo "scale=2; $k_rss / $p_rss" | bc -l) |"
