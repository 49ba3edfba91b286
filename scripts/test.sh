#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test; then runs the suite
# once more built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), and
# fuzzes the document readers for a minute (build-fuzz/, scripts/fuzz.sh). The printing tests
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
(cd "$BUILD_DIR" && ctest --output-on-failure -j "${TESSARY_JOBS:-$(nproc)}" "$@")

if [ "${TESSARY_QUICK:-0}" != 1 ]; then
  echo "== The tests again, with AddressSanitizer and UndefinedBehaviorSanitizer"
  TESSARY_BUILD_DIR=build-asan bash scripts/build.sh -DTESSARY_SANITIZE=ON -DTESSARY_BUILD_BENCH=OFF
  (cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j "${TESSARY_JOBS:-$(nproc)}" "$@")
  echo "== Fuzzing"
  bash scripts/fuzz.sh "${TESSARY_FUZZ_SECONDS:-60}"
fi
