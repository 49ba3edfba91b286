#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test. The printing tests
# print on a PDF queue of a private CUPS server started here and stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${TESSARY_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
source scripts/printqueue.sh
trap stop_print_queue EXIT
start_print_queue || echo "test.sh: no print queue; the printing tests will skip" >&2
cd "$BUILD_DIR"
ctest --output-on-failure -j "${TESSARY_JOBS:-$(nproc)}" "$@"
