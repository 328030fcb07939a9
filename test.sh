#!/usr/bin/env bash
# Installs what Kolbran needs, builds it and runs the whole test suite; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh Release
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
