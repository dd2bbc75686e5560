#!/usr/bin/env bash
# Builds the fuzz targets with clang, ASan and UBSan, and runs each for the given
# number of seconds (default 30): the scanner from its seeds, and the decoding
# path of verify --frames from small clips that decode. A crash fails the
# script and leaves its input in the build folder (crash-*).
# ZODOVU_FUZZ_DIR picks another build folder (default build/fuzz).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
cd "$here"
dir=${ZODOVU_FUZZ_DIR:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$dir" -DZODOVU_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" >/dev/null
# Only the targets: the rest of the fuzz tree is not needed to fuzz.
cmake --build "$dir" -j2 --target fuzz_scanner fuzz_clip_decoding make_clip_seeds

mkdir -p "$dir/clip-seeds"
"$dir/tests/fuzz/make_clip_seeds" "$dir/clip-seeds"

# fuzz TARGET SEEDS: runs one target from its seeds and a corpus of its own.
fuzz() {
  local target=$1 seeds=$2 status=0
  mkdir -p "$dir/corpus-$target"
  "$dir/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus-$target" "$seeds" >"$dir/$target.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$dir/$target.log"
    echo "fuzz: $target failed (status $status); the input is in $dir/" >&2
    exit "$status"
  fi
  echo "fuzz: $target"
  tail -n 12 "$dir/$target.log"
}
fuzz fuzz_scanner tests/fuzz/seeds
fuzz fuzz_clip_decoding "$dir/clip-seeds"
