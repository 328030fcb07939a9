#!/usr/bin/env bash
# Installs what Kolbran needs, builds it and starts the viewer on FILE (or on the bundled sample).
# Like the viewer, the whole command line is the file name.
set -euo pipefail
file=""
if [ $# -gt 0 ]; then
  file=$(realpath -m -- "$*")
fi
cd "$(dirname "$0")"
scripts/setup.sh Release
exec build/app/kolbran "${file:-$PWD/samples/sample.txt}"
