#!/usr/bin/env bash
# Builds the host tree's benchmarks and runs them, then the Windows program's
# benchmark under Wine (bench/wine.sh). Scratch files go to a
# temporary folder in the build tree and are removed afterwards.
# BUILD_DIR picks another host build tree (default build/host).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${BUILD_DIR:-build/host}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target bench_scan bench_extract bench_batch_extract bench_decode bench_convert bench_index bench_startup bench_audio bench_video zodovu-cli
echo
scratch=$(cd "$build" && pwd)
"$build/bench/bench_scan" "$scratch"
echo
"$build/bench/bench_extract" "$scratch"
echo
"$build/bench/bench_batch_extract" "$scratch"
echo
"$build/bench/bench_decode" "$scratch"
echo
"$build/bench/bench_convert" "$scratch"
echo
"$build/bench/bench_index" "$scratch"
echo
"$build/bench/bench_startup" "$scratch"
echo
"$build/bench/bench_audio" "$scratch"
echo
scripts/setup.sh plasma-workspace-wallpapers   # the video benchmark's photographs
"$build/bench/bench_video" "$scratch"
echo
if scripts/runs-i386; then
  bench/wine.sh
else
  echo "bench/wine.sh skipped: Wine cannot start on this machine"
fi
