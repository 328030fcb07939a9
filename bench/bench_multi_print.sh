#!/usr/bin/env bash
# Multi-file print: 50 files of 500 lines to one PDF each against paps printing each file to PostScript.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_mltprt_XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/pdf" "$work/ps"

python3 - "$work/in" <<'PY'
import sys
words = ["日本語の文章", "テキスト", "ABC123", "印刷の試験", "ﾊﾝｶｸｶﾅ", "漢字かな交じり", "0123456789"]
for n in range(50):
    with open(f"{sys.argv[1]}/f{n:02d}.txt", "wb") as f:
        for i in range(1, 501):
            line = f"{i:6d} " + " ".join(words[(i + k + n) % len(words)] for k in range(6))
            f.write(line.encode("cp932") + b"\r\n")
PY

k=$(seconds 3 "$TOOL" multi-print "$work/in" --pdf-dir "$work/pdf" --force --font "ＭＳ 明朝" --size 10.5)
p=$(seconds 3 sh -c "for f in '$work'/in/*.txt; do paps --encoding=CP932 --font='IPAMincho 10.5' --header \"\$f\" > '$work/ps/'\$(basename \"\$f\").ps; done")
row "multi-print 50 files × 500 lines to PDFs" "$k" "paps --header per file (PostScript)" "$p"
peak=$(/usr/bin/time -f '%M' "$TOOL" multi-print "$work/in" --pdf-dir "$work/pdf" --force 2>&1 >/dev/null | tail -1)
echo "| peak RSS multi-print 50 files | $((peak / 1024)) MB | | | |"
