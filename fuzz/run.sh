#!/usr/bin/env bash
# Runs every fuzz harness for SECONDS each (default 60) from its committed seed corpus.
# New inputs go to build-fuzz/corpus/NAME; crashing inputs are kept in fuzz/crashes/ to be
# committed under fuzz/corpus/NAME/ as regression cases once fixed.
# Usage: fuzz/run.sh [SECONDS] [HARNESS…]   (after scripts/setup.sh has installed the packages)
# FUZZ_NICE=19 runs the fuzzers at the lowest priority on a shared machine; the CPU time each
# got is printed after it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
if ! command -v clang++-14 >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  echo "Installing clang-14 and its sanitizer runtimes"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang-14 libclang-rt-14-dev >/dev/null
fi
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  mkdir -p build-fuzz
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOLBRAN_FUZZ=ON -DBUILD_TESTING=OFF >build-fuzz/configure.log 2>&1 ||
    { cat build-fuzz/configure.log; exit 1; }
fi
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  mapfile -t harnesses <fuzz/harnesses.txt
fi
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}" >build-fuzz/build.log 2>&1 ||
  { grep -vE '^\[[0-9]+/[0-9]+\] ' build-fuzz/build.log; exit 1; }
mkdir -p fuzz/crashes
# The drawing harness paints text: no display, and fontconfig's caches are not leaks. It also
# makes its scratch folder current, hence the absolute corpus paths.
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
status=0
for h in "${harnesses[@]}"; do
  mkdir -p "build-fuzz/corpus/$h"
  echo "== $h: ${seconds}s"
  if ! /usr/bin/time -f "   cpu: %U s user, %S s system, %e s wall" -o "build-fuzz/$h.time" \
       nice -n "${FUZZ_NICE:-0}" build-fuzz/fuzz/fuzz_$h "$PWD/build-fuzz/corpus/$h" "$PWD/fuzz/corpus/$h" -max_total_time="$seconds" \
       -max_len=65536 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$PWD/fuzz/crashes/$h-" 2>"build-fuzz/$h.log"; then
    echo "   FOUND a failing input (see build-fuzz/$h.log and fuzz/crashes/)"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build-fuzz/$h.log" | sed 's/^/   /' || true
  cat "build-fuzz/$h.time" 2>/dev/null || true
done
exit $status
