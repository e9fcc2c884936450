#!/usr/bin/env bash
# Configures and builds Tessaly into build/: everything, tests included, or the
# targets named (scripts/start.sh builds only "programs").
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the tree, so a clone elsewhere reuses the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build -j2 --target "$@"
else
  cmake --build build -j2
fi
