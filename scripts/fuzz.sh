#!/usr/bin/env bash
# Builds the scanner's fuzz target with clang, ASan and UBSan, and runs it for
# the given number of seconds (default 30) from the seed corpus. A crash fails
# the script and leaves its input in the build folder (crash-*).
# ZODOVU_FUZZ_DIR picks another build folder (default build/fuzz).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
cd "$here"
dir=${ZODOVU_FUZZ_DIR:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$dir" -DZODOVU_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" >/dev/null
# Only the target: the rest of the fuzz tree is not needed to fuzz the scanner.
cmake --build "$dir" -j2 --target fuzz_scanner

mkdir -p "$dir/corpus"
log="$dir/fuzz.log"
status=0
"$dir/tests/fuzz/fuzz_scanner" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$dir/" "$dir/corpus" tests/fuzz/seeds >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log"
  echo "fuzz: the scanner failed (status $status); the input is in $dir/" >&2
  exit "$status"
fi
tail -n 12 "$log"
