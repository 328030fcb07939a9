#!/usr/bin/env bash
# Generates the benchmark data into bench/data (git-ignored); files that exist are kept.
#   japanese_1m.txt   1,000,000 lines of Japanese Shift_JIS text with CR LF, about 100 MB
#   random_1m.bin, random_10m.bin, random_100m.bin   random bytes
set -euo pipefail
cd "$(dirname "$0")/.."
DATA=bench/data
mkdir -p "$DATA"

text=$DATA/japanese_1m.txt
if [ ! -f "$text" ]; then
  python3 - "$text.tmp" <<'PY'
import random, sys
random.seed(1)
words = ("日本語", "テキスト", "ファイル", "表示", "漢字", "ひらがな", "カタカナ", "東京都",
         "検索", "変換", "行番号", "文字コード", "ｶﾀｶﾅ", "ABC", "12345", "、", "。", "「", "」",
         "全角", "半角", "改行", "画面", "印刷", "設定", "ﾃﾞｰﾀ", "読み込み", "書き込み", " ")
enc = [w.encode("cp932") for w in words]
# A pool of distinct lines of 20..180 bytes (about 95 on average), cycled with a line number.
pool = []
for _ in range(4096):
    parts, size, target = [], 0, random.randint(20, 170)
    while size < target:
        w = random.choice(enc)
        parts.append(w)
        size += len(w)
    pool.append(b"".join(parts))
with open(sys.argv[1], "wb") as out:
    chunk = []
    for i in range(1, 1_000_001):
        chunk.append(b"%07d " % i + pool[(i * 2654435761) % 4096] + b"\r\n")
        if len(chunk) == 50_000:
            out.write(b"".join(chunk))
            chunk = []
    out.write(b"".join(chunk))
PY
  mv "$text.tmp" "$text"
fi

for size in 1 10 100; do
  f=$DATA/random_${size}m.bin
  if [ ! -f "$f" ]; then
    head -c $((size * 1000000)) /dev/urandom > "$f.tmp"
    mv "$f.tmp" "$f"
  fi
done
