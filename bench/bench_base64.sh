#!/usr/bin/env bash
# BASE64 encoding and decoding of a 100 MB file against coreutils base64.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
# 100 MB of random bytes, made once and kept in bench/data.
src=$DATA/random_100m.bin
if [ ! -f "$src" ]; then
  mkdir -p "$DATA"
  head -c 100000000 /dev/urandom > "$src"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_base64_XXXXXX")
trap 'rm -rf "$work"' EXIT

k_enc=$(seconds 3 "$TOOL" base64-encode "$src" -o "$work/k.b64" --force)
p_enc=$(seconds 3 sh -c "base64 -w 76 '$src' > '$work/p.b64'")
row "base64-encode 100 MB" "$k_enc" "base64 -w 76" "$p_enc"

k_dec=$(seconds 3 "$TOOL" base64-decode "$work/k.b64" -o "$work/k.bin" --force)
p_dec=$(seconds 3 sh -c "base64 -d '$work/p.b64' > '$work/p.bin'")
row "base64-decode 100 MB" "$k_dec" "base64 -d" "$p_dec"
cmp -s "$src" "$work/k.bin" || echo "| base64: decoded output differs from the source | | | | |"
