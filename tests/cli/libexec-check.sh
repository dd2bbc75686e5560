#!/usr/bin/env bash
# Builds zodovu-cli in a tree of its own configured with another libexec
# folder, installs it into a scratch prefix and converts a clip with the
# installed program: the plain program finds its decoding program where the
# build put it, and loads none of FFmpeg's libraries itself.
# Usage: libexec-check.sh SOURCE_DIR TREE MAKE_DEMO_ARCHIVES
set -euo pipefail
source=$1 tree=$2 make_demo=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "libexec-check: $*" >&2; exit 1; }

cmake -S "$source" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_LIBEXECDIR=lib/zodovu >/dev/null
cmake --build "$tree" --target zodovu-cli -j2 >/dev/null
cmake --install "$tree" --component cli --prefix "$scratch/prefix" >/dev/null
bin=$scratch/prefix/bin/zodovu-cli
decoder=$scratch/prefix/lib/zodovu/zodovu-cli/zodovu-cli-decode
[ -x "$decoder" ] || fail "the decoding program is not installed in lib/zodovu/zodovu-cli"
plain=$(ldd "$bin") decoding=$(ldd "$decoder")
[[ $plain != *libav* ]] || fail "zodovu-cli loads FFmpeg's libraries: $plain"
[[ $decoding == *libavcodec* ]] || fail "zodovu-cli-decode does not link FFmpeg's libraries"

"$make_demo" "$scratch/demo" >/dev/null
cd "$scratch/demo"
"$bin" convert disc4.pak 1 --lo -q -o clip.mp4 || fail "convert with the installed programs failed"
[ -s clip.mp4 ] || fail "convert wrote no clip.mp4"
echo "libexec-check: the installed zodovu-cli found its decoding program in lib/zodovu and converted a clip"
