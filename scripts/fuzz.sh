#!/usr/bin/env bash
# Builds the document readers' libFuzzer target with clang in build-fuzz/ and
# runs it for a bounded time (seconds, default 60), seeded with the RTF
# sample corpus. Inputs that crash, hang or exhaust memory are kept in
# build-fuzz/findings/ and make the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
RUN_SECONDS=${1:-60}
BUILD_DIR=${TESSARY_FUZZ_BUILD_DIR:-build-fuzz}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSARY_FUZZ=ON -DTESSARY_BUILD_TESTS=OFF -DTESSARY_BUILD_BENCH=OFF
fi
cmake --build "$BUILD_DIR" -j "${TESSARY_JOBS:-$(nproc)}" --target fuzz_documentreader

SEEDS=../shared/corpus/rtf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$BUILD_DIR/findings"
echo "Fuzzing the RTF and .rtc readers for ${RUN_SECONDS} s"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  "$BUILD_DIR/fuzz/fuzz_documentreader" -max_total_time="$RUN_SECONDS" -max_len=65536 \
  -seed=1 -timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -dict=fuzz/rtf.dict -print_final_stats=1 \
  -artifact_prefix="$BUILD_DIR/findings/" "$work/corpus" $( [ -d "$SEEDS" ] && echo "$SEEDS" ) 2>&1 \
  | grep -v -E '^(#[0-9]+\s+(NEW|REDUCE|pulse)|")' || { echo "The fuzzer found an input that fails: see $BUILD_DIR/findings/"; exit 1; }
