#!/usr/bin/env bash
# Makes the demo archives in FOLDER with our own encoder: six short videos from
# FFmpeg's test sources (moving pictures; a tone, a chord or a sweep), each
# encoded at both sizes by `zodovu-cli encode` (the small ones at 150 KB/s, a
# single-speed drive's rate), then packed by `zodovu-cli pack`
# into disc1.pak to disc4.pak and publish.pak with as many clips as the game's,
# the six taking turns. Usage: demo-archives.sh ZODOVU_CLI FOLDER
set -euo pipefail
cli=$1 out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/src" "$work/hi" "$work/lo"

sources=(
  "testsrc2=size=640x448:rate=15|sine=frequency=440"
  "mandelbrot=size=640x448:rate=15|aevalsrc=0.3*sin(2*PI*(200+300*t)*t)"
  "life=size=640x448:rate=15:mold=10:ratio=0.2:death_color=#202040:life_color=#e0c040|sine=frequency=330"
  "testsrc=size=640x448:rate=15|aevalsrc=0.2*sin(2*PI*262*t)+0.2*sin(2*PI*330*t)+0.2*sin(2*PI*392*t)"
  "cellauto=size=640x448:rate=15:rule=110|sine=frequency=523"
  "smptehdbars=size=640x448:rate=15,hue=H=2*PI*t|aevalsrc=0.3*sin(2*PI*(800-200*t)*t)"
)
for i in "${!sources[@]}"; do
  video=${sources[$i]%%|*} sound=${sources[$i]#*|}
  ffmpeg -nostdin -v error -y -f lavfi -i "$video" -f lavfi -i "$sound" -t 3 \
    -c:v ffv1 -c:a pcm_s16le "$work/src/demo$i.mkv"
done
"$cli" encode -q "$work"/src/*.mkv -o "$work/hi/"
"$cli" encode -q --lo --rate 150 "$work"/src/*.mkv -o "$work/lo/"

# archive clips: the game's clip counts.
for archive in disc1.pak:31 disc2.pak:34 disc3.pak:32 disc4.pak:7 publish.pak:5; do
  name=${archive%%:*} clips=${archive#*:} folder="$work/${archive%%.*}"
  mkdir -p "$folder"
  for n in $(seq "$clips"); do
    pick=$(( (n + ${#name}) % ${#sources[@]} ))
    ln "$work/hi/demo$pick.bik" "$folder/$(printf 'demo-%03dh' "$n").bik"
    ln "$work/lo/demo$pick.bik" "$folder/$(printf 'demo-%03dl' "$n").bik"
  done
  "$cli" pack -q --force -o "$out/$name" "$folder"
done
