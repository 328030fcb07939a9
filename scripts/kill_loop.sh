#!/usr/bin/env bash
# Kills kolbran-tool writers at a random point of their run, RUNS times each (default 50),
# and checks what is left: the target is its old bytes or the complete new bytes (for split,
# each piece), and a kill adds at most one temporary file beside it. A last run after the
# kills must complete over whatever they left.
# Usage: scripts/kill_loop.sh [RUNS] [WRITER…]   (after a build into build/)
# Writers: dump bin ext base64-encode restore restore-extended base64-decode split join join-new
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50}
shift || true
tool=${KOLBRAN_TOOL:-$PWD/build/app/kolbran-tool}
[ -x "$tool" ] || { echo "no $tool: build first (scripts/setup.sh)"; exit 2; }
writers=("$@")
[ ${#writers[@]} -gt 0 ] || writers=(dump bin ext base64-encode restore restore-extended base64-decode split join join-new)
# No "." in the folder: split names its pieces after the path up to its first ".".
work=$(mktemp -d "${TMPDIR:-/tmp}/kolbran_kill_XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# The settings of these runs stay in the work folder.
mkdir -p "$work/settings"

head -c 3200000 /dev/urandom >"$work/random.bin"
"$tool" --settings-dir "$work/settings" bin "$work/random.bin" -o "$work/random.b" --force >/dev/null 2>&1
"$tool" --settings-dir "$work/settings" ext "$work/random.bin" -o "$work/random.k" --force >/dev/null 2>&1
"$tool" --settings-dir "$work/settings" base64-encode "$work/random.bin" -o "$work/random.b64" --force >/dev/null 2>&1

# The arguments of one run in folder $2 (its target is $2/out, or the pieces $2/src.NNN).
args_of() {
  local d=$2
  case $1 in
    dump | bin | ext | base64-encode) echo "$1 $d/src -o $d/out --force" ;;
    restore) echo "restore $d/src -o $d/out --force" ;;
    restore-extended) echo "restore $d/src -o $d/out --extended --force" ;;
    base64-decode) echo "base64-decode $d/src -o $d/out --force" ;;
    split) echo "split $d/src.dat --size-kb 100 --force" ;;
    join | join-new) echo "join $d/src.001 -o $d/out --force" ;;
  esac
}
source_of() {
  case $1 in
    restore) echo "$work/random.b" ;;
    restore-extended) echo "$work/random.k" ;;
    base64-decode) echo "$work/random.b64" ;;
    *) echo "$work/random.bin" ;;
  esac
}
# Puts the old target(s) in place.
put_old() {
  local w=$1 d=$2
  case $w in
    split) for f in "$d/expected"/src.*; do n=${f##*.}; [ "$n" = dat ] || printf 'old piece %s' "$n" >"$d/src.$n"; done ;;
    join-new) rm -f "$d/out" ;;
    *) printf 'the old output' >"$d/out" ;;
  esac
}
# Checks the target(s): prints "old", "new", "mixed:…" (split: per piece, "old" only when all are).
judge() {
  local w=$1 d=$2
  case $w in
    split)
      local old=0 new=0 bad=""
      for f in "$d/expected"/src.*; do
        n=${f##*.}; [ "$n" = dat ] && continue
        if cmp -s "$f" "$d/src.$n"; then new=$((new + 1))
        elif [ "$(cat "$d/src.$n" 2>/dev/null)" = "old piece $n" ]; then old=$((old + 1))
        else bad="$bad $n"; fi
      done
      if [ $((old + new)) -eq 0 ] && [ -z "$bad" ]; then echo "mixed:no pieces"
      elif [ -n "$bad" ]; then echo "mixed:pieces$bad"; elif [ $old -eq 0 ]; then echo new; elif [ $new -eq 0 ]; then echo old; else echo "partly"; fi ;;
    join-new)
      if [ ! -e "$d/out" ]; then echo old; elif cmp -s "$d/out" "$d/expected/out"; then echo new; else echo "mixed:$(stat -c %s "$d/out") bytes"; fi ;;
    *)
      if cmp -s "$d/out" "$d/expected/out"; then echo new
      elif [ "$(cat "$d/out" 2>/dev/null)" = "the old output" ]; then echo old
      else echo "mixed:$(stat -c %s "$d/out" 2>/dev/null || echo missing) bytes"; fi ;;
  esac
}
# Files of the folder that are neither a target nor a source nor the expected folder.
extras() {
  local d=$1
  find "$d" -maxdepth 1 -mindepth 1 ! -name expected ! -name src ! -name src.dat ! -name out \
    ! -regex '.*/src\.[0-9][0-9][0-9]' | wc -l
}

status=0
printf '%-17s %5s %5s %5s %6s %7s %6s %s\n' writer runs old new partly mixed temps "last run"
for w in "${writers[@]}"; do
  d=$work/$w
  mkdir -p "$d/expected"
  case $w in
    split) cp "$(source_of "$w")" "$d/src.dat"; cp "$d/src.dat" "$d/expected/src.dat"
           "$tool" --settings-dir "$work/settings" split "$d/expected/src.dat" --size-kb 100 --force >/dev/null 2>&1 ;;
    join | join-new)
      cp "$(source_of "$w")" "$d/src.dat"; "$tool" --settings-dir "$work/settings" split "$d/src.dat" --size-kb 100 --force >/dev/null 2>&1
      cp "$d/src.dat" "$d/expected/out" ;;
    *) cp "$(source_of "$w")" "$d/src"
       # shellcheck disable=SC2046
       "$tool" --settings-dir "$work/settings" $(args_of "$w" "$d" | sed "s#$d/out#$d/expected/out#") >/dev/null 2>&1 ;;
  esac
  # How long a whole run takes: the kills land anywhere from its start to its end.
  put_old "$w" "$d"
  start=$(date +%s%N)
  # shellcheck disable=SC2046
  "$tool" --settings-dir "$work/settings" $(args_of "$w" "$d") >/dev/null 2>&1
  full_ms=$((($(date +%s%N) - start) / 1000000 + 1))
  old=0 new=0 partly=0 mixed=0 maxtemps=0
  for ((i = 0; i < runs; i++)); do
    put_old "$w" "$d"
    before=$(extras "$d")
    delay=$(awk -v r=$RANDOM -v m="$full_ms" 'BEGIN { printf "%.3f", (r / 32768) * m / 1000 }')
    # shellcheck disable=SC2046
    timeout --foreground -s KILL "$delay" "$tool" --settings-dir "$work/settings" $(args_of "$w" "$d") >/dev/null 2>&1
    verdict=$(judge "$w" "$d")
    added=$(($(extras "$d") - before))
    [ $added -gt $maxtemps ] && maxtemps=$added
    case $verdict in
      old) old=$((old + 1)) ;;
      new) new=$((new + 1)) ;;
      partly) partly=$((partly + 1)) ;;
      *) mixed=$((mixed + 1)); echo "  $w run $i (kill at ${delay}s): $verdict" >&2 ;;
    esac
  done
  put_old "$w" "$d"
  # shellcheck disable=SC2046
  "$tool" --settings-dir "$work/settings" $(args_of "$w" "$d") >/dev/null 2>&1
  last=$(judge "$w" "$d")
  [ "$last" = new ] && last=complete
  printf '%-17s %5d %5d %5d %6d %7d %6s %s (whole run %d ms; %d files left over)\n' "$w" "$runs" $old $new $partly $mixed \
    "≤$maxtemps" "$last" "$full_ms" "$(extras "$d")"
  if [ $mixed -gt 0 ] || [ $maxtemps -gt 1 ] || [ "$last" != complete ]; then status=1; fi
done
exit $status
