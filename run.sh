#!/usr/bin/env bash
# Sets up, builds, makes the demo archives in build/demo and lists one of them;
# then builds zodovu.exe, makes build/demo the game's data folder in the project's
# Wine prefix and starts the viewer: on your display when there is one, otherwise
# on a virtual display, where it saves a screenshot of the window and ends it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/host -j"$(nproc)"
scripts/demo-archives.sh build/host/cli/zodovu-cli build/demo
build/host/cli/zodovu-cli list build/demo/disc2.pak

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win32 -j"$(nproc)" --target zodovu
viewer=build/win32/ui/zodovu.exe
scripts/runs-i386 || { echo "run: zodovu.exe is built in $viewer, but Wine cannot start it on this machine" >&2; exit 1; }

export WINEPREFIX="${ZODOVU_WINEPREFIX:-$PWD/build/win32/wineprefix}"
export WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
scripts/wine-prefix
demo=$(winepath -w "$PWD/build/demo" 2>/dev/null)
wine reg add 'HKLM\software\Brakkenfold, Inc\KORVALON\1.00' /v DataDrive /d "$demo" /f >/dev/null 2>&1
echo "run: the game's data folder is now $demo"

if [ -n "${DISPLAY:-}" ]; then
  echo "run: starting $viewer"
  exec wine "$viewer"
fi

# No display: show the window on a virtual one for a few seconds and keep a picture.
shot="$PWD/build/zodovu-window.png"
rm -f "$shot"
scripts/with-display bash -c '
  wine "$1" & pid=$!
  for _ in $(seq 60); do
    win=$(xdotool search --name "^Korvalon FMV viewer\$" 2>/dev/null | head -n1) && [ -n "$win" ] && break
    sleep 0.25
  done
  sleep 3
  if [ -n "${win:-}" ]; then import -window "$win" "$2"; else import -window root "$2"; fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  exit 0
' bash "$viewer" "$shot"
if [ -f "$shot" ]; then
  echo "run: no display here; the viewer ran on a virtual one, and its window is in $shot"
else
  echo "run: no display here, and no screenshot could be taken on the virtual one" >&2
  exit 1
fi
