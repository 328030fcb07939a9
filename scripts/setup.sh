#!/usr/bin/env bash
# Installs the Debian packages Kolbran needs (when missing) and builds it into build/.
# Usage: scripts/setup.sh BUILD_TYPE
set -euo pipefail
cd "$(dirname "$0")/.."

# Build tools, Qt 6, the picture plug-ins, the test frameworks, the Japanese fonts,
# PDF readers for the printing tests, and Xvfb for trying the windows.
packages=(cmake ninja-build g++ ccache qt6-base-dev qt6-image-formats-plugins libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-ipafont fonts-noto-cjk poppler-utils
          xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run as root:"
    echo "  apt-get install ${missing[*]}"
    exit 1
  fi
fi

build_type=${1:-Release}
if [ ! -f build/CMakeCache.txt ] || ! grep -q "CMAKE_BUILD_TYPE:STRING=$build_type" build/CMakeCache.txt; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
fi
cmake --build build -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
test "${PIPESTATUS[0]}" -eq 0
