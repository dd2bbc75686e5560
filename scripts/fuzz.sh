#!/usr/bin/env bash
# Builds the scanner's fuzz target with clang, ASan and UBSan, and runs it for
# the given number of seconds (default 30) from the seed corpus.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
cd "$here"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DZODOVU_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" >/dev/null
cmake --build build/fuzz -j"$(nproc)"
mkdir -p build/fuzz/corpus
build/fuzz/tests/fuzz/fuzz_scanner -max_total_time="$seconds" -print_final_stats=1 \
  build/fuzz/corpus tests/fuzz/seeds 2>&1 | tail -n 12
