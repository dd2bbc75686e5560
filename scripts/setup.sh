#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those that are missing.
# Says what it installs; does nothing when everything is there.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  googletest nlohmann-json3-dev libcli11-dev
  g++-mingw-w64-i686 wine wine32:i386
  xvfb xauth xdotool x11-utils imagemagick ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Wine runs our 32-bit program with its i386 half.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture for Wine's 32-bit half"
  $sudo dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
