#!/usr/bin/env bash
# Builds the loader's fuzz target with clang and libFuzzer and runs it.
#
#   tests/fuzz/run.sh [seconds]    default 600; findings go to build-fuzz/findings
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVX_FUZZ=ON \
      -DTVX_BUILD_TESTS=OFF -DTVX_BUILD_BENCH=OFF -DTVX_BUILD_QT=OFF >/dev/null
cmake --build build-fuzz -j2 --target load_fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings
# New inputs go to build-fuzz/corpus; the committed seeds are read only.
build-fuzz/bin/load_fuzz build-fuzz/corpus tests/fuzz/corpus -max_total_time="$seconds" -max_len=8192 \
  -timeout=120 -rss_limit_mb=2048 -artifact_prefix=build-fuzz/findings/ -print_final_stats=1
