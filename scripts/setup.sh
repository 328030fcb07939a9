#!/usr/bin/env bash
# Installs the Debian packages Kolbran needs (when missing) and builds it into build/.
# Usage: scripts/setup.sh [BUILD_TYPE]   (Release by default). Prints nothing when all is in place.
set -euo pipefail
cd "$(dirname "$0")/.."

# The README says why each package is there.
packages=(cmake ninja-build g++ ccache qt6-base-dev qt6-image-formats-plugins libgl1-mesa-dev
          libgtest-dev libgmock-dev fonts-ipafont fonts-noto-cjk poppler-utils
          qt6-translations-l10n python3-html5lib)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Some packages are missing. Install them as root, then run this again:"
    echo "  apt-get install ${missing[*]}"
    exit 1
  fi
fi

build_type=${1:-Release}
if [ ! -f build/CMakeCache.txt ] || ! grep -q "^CMAKE_BUILD_TYPE:STRING=$build_type\$" build/CMakeCache.txt; then
  mkdir -p build
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" >build/configure.log 2>&1 || {
    cat build/configure.log
    exit 1
  }
fi
# The build log is shown only when the build fails.
if ! cmake --build build -j"$(nproc)" >build/build.log 2>&1; then
  grep -vE '^\[[0-9]+/[0-9]+\] ' build/build.log
  exit 1
fi
