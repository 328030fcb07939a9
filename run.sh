#!/usr/bin/env bash
# Installs what Kolbran needs, builds it and starts the viewer on FILE (or on the bundled sample).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh Release
if [ $# -gt 0 ]; then
  exec build/app/kolbran "$@"
fi
exec build/app/kolbran "$PWD/samples/sample.txt"
