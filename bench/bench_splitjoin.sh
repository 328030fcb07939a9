#!/usr/bin/env bash
# split and join of a 100 MB file at the default 1,440 KB against split -b and cat.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
# 100 MB of random bytes, made once and kept in bench/data.
src=$DATA/random_100m.bin
if [ ! -f "$src" ]; then
  mkdir -p "$DATA"
  head -c 100000000 /dev/urandom > "$src"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_splitjoin_XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$src" "$work/src"
ln -s "$work/src" "$work/peer"

k_split=$(seconds 3 "$TOOL" split "$work/src" --size-kb 1440 --force)
p_split=$(seconds 3 split -b 1474560 -a 3 -d "$work/peer" "$work/peer.")
row "split 100 MB at 1,440 KB" "$k_split" "split -b" "$p_split"

k_join=$(seconds 3 "$TOOL" join "$work/src.001" -o "$work/joined" --force)
p_join=$(seconds 3 sh -c "cat '$work'/peer.* > '$work/catted'")
row "join 100 MB from 1,440 KB pieces" "$k_join" "cat" "$p_join"
cmp -s "$work/src" "$work/joined" || echo "| join: output differs from the source | | | | |"
