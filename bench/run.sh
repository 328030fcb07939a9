#!/usr/bin/env bash
# Builds Kolbran in Release mode, generates the benchmark data and runs every
# bench/bench_*.sh side by side with the tool a user would otherwise pick.
# Each bench script prints Markdown table rows: | task | kolbran s | peer | peer s | ratio |
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh Release >/dev/null
# The peers of the image, drawing and print benchmarks and GNU time for the memory rows.
bench_packages=(imagemagick jp2a paps time)
bench_missing=()
for p in "${bench_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || bench_missing+=("$p")
done
if [ ${#bench_missing[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${bench_missing[@]}" >/dev/null || true
fi
bench/gen_data.sh
out=bench/RESULTS.md
{
  echo "# Benchmark results"
  echo
  echo "Machine: $(uname -srm), $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  echo "Date: $(date -u +%Y-%m-%d)"
  echo
  echo "| task | kolbran (s) | peer | peer (s) | ratio |"
  echo "|---|---|---|---|---|"
  for b in bench/bench_*.sh; do
    [ -e "$b" ] && bash "$b"
  done
} | tee "$out.tmp"
mv "$out.tmp" "$out"
