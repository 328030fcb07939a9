#!/usr/bin/env bash
# The CSV table (kolbran-tool csv) on a 1,000,000-line comma-separated file of the benchmark
# words (about 100 MB, Shift_JIS) against column -t on its UTF-8 copy; peak memory of each.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
csv=$DATA/csv_1m.csv
if [ ! -f "$csv" ]; then
  mkdir -p "$DATA"
  python3 - "$csv.tmp" <<'PY'
import random, sys
random.seed(2)
words = ("日本語", "テキスト", "ファイル", "表示", "漢字", "ひらがな", "カタカナ", "東京都",
         "検索", "変換", "行番号", "文字コード", "ｶﾀｶﾅ", "ABC", "12345", "全角", "半角",
         "改行", "画面", "印刷", "設定", "ﾃﾞｰﾀ", "読み込み", "書き込み")
enc = [w.encode("cp932") for w in words]
pool = []
for _ in range(4096):
    fields, size, target = [], 0, random.randint(60, 120)
    while size < target:
        k = random.randint(1, 3)
        f = b"".join(random.choice(enc) for _ in range(k))
        fields.append(f)
        size += len(f) + 1
    pool.append(b",".join(fields))
with open(sys.argv[1], "wb") as out:
    chunk = []
    for i in range(1, 1_000_001):
        chunk.append(b"%07d," % i + pool[(i * 2654435761) % 4096] + b"\r\n")
        if len(chunk) == 50_000:
            out.write(b"".join(chunk))
            chunk = []
    out.write(b"".join(chunk))
PY
  mv "$csv.tmp" "$csv"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_csv_XXXXXX")
trap 'rm -rf "$work"' EXIT
iconv -f CP932 -t UTF-8 "$csv" | tr -d '\r' > "$work/utf8.csv"

k=$(seconds 3 "$TOOL" csv "$csv" -o "$work/table.txt" --force)
p=$(seconds 3 sh -c "column -t -s, -o '│' '$work/utf8.csv' > '$work/column.txt'")
row "CSV table of 1,000,000 lines (100 MB)" "$k" "column -t -s, -o '│'" "$p"

if command -v /usr/bin/time >/dev/null; then
  km=$(/usr/bin/time -f %M "$TOOL" csv "$csv" -o "$work/table.txt" --force 2>&1 >/dev/null | tail -n 1)
  pm=$(/usr/bin/time -f %M sh -c "column -t -s, -o '│' '$work/utf8.csv' > '$work/column.txt'" 2>&1 | tail -n 1)
  echo "| CSV table peak memory (MB) | $((km / 1024)) | column -t | $((pm / 1024)) | $(echo "scale=2; $km / $pm" | bc -l) |"
fi
