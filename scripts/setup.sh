#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those that are missing,
# with any further packages named as arguments (the benchmarks' photographs).
# Says what it installs; does nothing when everything is there.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  googletest nlohmann-json3-dev libcli11-dev
  g++-mingw-w64-i686 wine wine32:i386 fonts-wine
  xvfb xauth xdotool x11-utils imagemagick ffmpeg groff-base espeak-ng
  dpkg-dev file lintian
  pkg-config libavformat-dev libavcodec-dev libavfilter-dev libavutil-dev libswscale-dev
  chromium
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

# sudo resets the environment, so the frontend is passed through env: no debconf
# question (tzdata and the like) may stop an unattended set-up.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo "${as_root[@]}")
fi

# Wine runs our 32-bit program with its i386 half.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture for Wine's 32-bit half"
  "${as_root[@]}" dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
