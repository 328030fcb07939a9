#!/usr/bin/env bash
# The binary tools on a 100 MB binary file: dump against xxd, the binary display file
# against xxd -p and its restoration against xxd -r -p. Prints table rows (bench/run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
TOOL=${KOLBRAN_TOOL:-$TOOL}

# 100 MB of random bytes from bench/gen_data.sh.
SRC=$DATA/random_100m.bin
[ -s "$SRC" ] || bench/gen_data.sh
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Each output is removed before a run, so that no overwrite question is asked.
dump_k() { rm -f "$WORK/k.DMP"; "$TOOL" dump "$SRC" -o "$WORK/k.DMP"; }
dump_x() { xxd "$SRC" >"$WORK/x.dump"; }
bin_k() { rm -f "$WORK/k.B"; "$TOOL" bin "$SRC" -o "$WORK/k.B"; }
bin_x() { xxd -p "$SRC" >"$WORK/x.hex"; }
restore_k() { rm -f "$WORK/k.XXX"; "$TOOL" restore "$WORK/k.B" -o "$WORK/k.XXX"; }
restore_x() { xxd -r -p "$WORK/x.hex" >"$WORK/x.bin"; }

row "dump 100 MB" "$(seconds 3 dump_k)" "xxd" "$(seconds 3 dump_x)"
rm -f "$WORK/k.DMP" "$WORK/x.dump"
row "binary display file 100 MB" "$(seconds 3 bin_k)" "xxd -p" "$(seconds 3 bin_x)"
row "restore 100 MB" "$(seconds 3 restore_k)" "xxd -r -p" "$(seconds 3 restore_x)"
cmp -s "$SRC" "$WORK/k.XXX" || echo "| restore 100 MB | FAILED: restored bytes differ | | | |"
