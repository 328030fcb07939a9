# Shared by the bench scripts: best-of-N wall time of a command, and a table row.
TOOL=build/app/kolbran-tool
DATA=bench/data

# seconds N CMD…: the best of N runs, warm cache.
seconds() {
  local n=$1; shift
  local best=""
  for _ in $(seq "$n"); do
    local s e t
    s=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}

# row TASK KOLBRAN_SECONDS PEER_NAME PEER_SECONDS
row() {
  local ratio
  ratio=$(echo "scale=2; $2 / $4" | bc -l)
  echo "| $1 | $2 | $3 | $4 | $ratio |"
}
