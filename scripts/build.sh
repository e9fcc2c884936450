#!/usr/bin/env bash
# Configures and builds Tessaly into build/: everything, tests included, or the
# targets named (scripts/start.sh builds only "programs").
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the tree, so a clone elsewhere reuses the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# Line tables and function names only (-g1): a crash's backtrace still names
# the line, and the build takes a fifth less time than with full debug
# information, most of it in the tests' many executables.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build -j2 --target "$@"
else
  cmake --build build -j2
fi
