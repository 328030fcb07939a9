#!/usr/bin/env bash
# Builds the logic libraries, the logic tests and the fuzz-corpus regressions with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs them; any
# sanitizer report fails the run. Expects scripts/setup.sh to have installed the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build-asan/CMakeCache.txt ]; then
  mkdir -p build-asan
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLBRAN_SANITIZE=ON \
    >build-asan/configure.log 2>&1 || { cat build-asan/configure.log; exit 1; }
fi
if ! cmake --build build-asan -j"$(nproc)" --target logic_tests >build-asan/build.log 2>&1; then
  grep -vE '^\[[0-9]+/[0-9]+\] ' build-asan/build.log
  exit 1
fi
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan -R '^(test_|fuzzregress_)' --output-on-failure -j"$(nproc)"
