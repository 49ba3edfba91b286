#!/usr/bin/env bash
# Configures and builds into build/ (or $TESSARY_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${TESSARY_BUILD_DIR:-build}
JOBS=${TESSARY_JOBS:-$(nproc)}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$BUILD_DIR" -j "$JOBS"
