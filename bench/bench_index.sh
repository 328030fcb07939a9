#!/usr/bin/env bash
# Indexing a 1,000,000-line Shift_JIS file (about 100 MB) against wc -l, warm cache.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
src=$DATA/japanese_1m.txt
[ -f "$src" ] || bench/gen_data.sh
cat "$src" > /dev/null  # warm the cache

lines=$("$TOOL" index "$src")
[ "$lines" = "$(wc -l < "$src")" ] || echo "| index: line count $lines differs from wc -l | | | | |"
k=$(seconds 5 "$TOOL" index "$src")
p=$(seconds 5 wc -l "$src")
row "index 1,000,000 lines (100 MB)" "$k" "wc -l" "$p"

# The same scan without the line limit (the disk form of the index).
settings=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_bench_index_XXXXXX")
trap 'rm -rf "$settings"' EXIT
k_disk=$(seconds 3 "$TOOL" --settings-dir "$settings" index "$src" --no-limit)
row "index --no-limit (disk form)" "$k_disk" "wc -l" "$p"


# A binary file: lines are cut at chunk ends, the fast line-end search gives way.
bin=$DATA/random_100m.bin
k_bin=$(seconds 5 "$TOOL" index "$bin")
p_bin=$(seconds 5 wc -l "$bin")
row "index a 100 MB binary file" "$k_bin" "wc -l" "$p_bin"
