#!/usr/bin/env bash
# The Windows program under Wine on the virtual display: zodovu.exe extracting a
# 512 MiB encoding and scanning a 256-clip archive, driven as a user would, beside
# the bare loop of the same design in the same Wine, prefix and display, and beside
# dd and zodovu-cli on the host. Prints figures; asserts nothing.
#
# RUNS sets the number of runs (5). The scratch files go to memory (/dev/shm) unless
# BENCH_SCRATCH names another folder: on a disk the kernel's writeback of earlier
# half-gigabyte files stalls whichever copy is running at the time by seconds,
# which swamps the difference between the program and the bare loop.
# BUILD_DIR / WIN32_BUILD_DIR pick other build trees.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
host=$(realpath -m "${BUILD_DIR:-build/host}")
win32=$(realpath -m "${WIN32_BUILD_DIR:-build/win32}")
runs="${RUNS:-5}"
cmake -S . -B "$win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win32" -j2 --target bench_wine zodovu
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$host" -j2 --target zodovu-cli
scripts/wine-prefix

base="${BENCH_SCRATCH:-}"
if [ -z "$base" ]; then
  base="$win32"
  [ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
fi
scratch=$(mktemp -d "$(realpath "$base")/zodovu-bench-wine-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export WINEPREFIX="${ZODOVU_WINEPREFIX:-$PWD/build/win32/wineprefix}"
export WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}"
bench=$(winepath -w "$win32/bench/wine/bench_wine.exe" 2>/dev/null)
viewer=$(winepath -w "$win32/ui/zodovu.exe" 2>/dev/null)
folder=$(winepath -w "$scratch" 2>/dev/null)
# The driver leaves its two archives in the scratch folder for the host's figures.
wine_figures=$(scripts/with-display wine "$bench" "$viewer" "$folder" "$runs")

# The same bytes on the host, from the same folder.
best_mean() { sort -n | awk '{ s += $1; if (NR == 1) b = $1 } END { printf "%7.3f s  %7.3f s", b, s / NR }'; }
timed() { local t0; t0=$(date +%s.%N); "$@" >/dev/null 2>&1; awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'; }
dd_times=$(for _ in $(seq "$runs"); do
  rm -f "$scratch/dd.bik"
  timed dd if="$scratch/disc1.pak" of="$scratch/dd.bik" bs=1M iflag=skip_bytes,count_bytes skip=8 count=$((512 * 1048576))
done | best_mean)
cli_times=$(for _ in $(seq "$runs"); do timed "$host/cli/zodovu-cli" list "$scratch/disc2.pak"; done | best_mean)

echo
echo "Scratch files in $base"
echo "$wine_figures" | sed '/^Scanning/,$d'
printf '  %-44s %s  %5.0f MB/s\n' "dd bs=1M of the same bytes on the host" "$dd_times" \
  "$(echo "$dd_times" | awk -v n=$((512 * 1048576)) '{ print n / $1 / 1e6 }')"
echo "$wine_figures" | sed -n '/^Scanning/,$p'
printf '  %-44s %s\n' "zodovu-cli list on the host" "$cli_times"
