#!/bin/sh
# Turns the .bmp screenshots the window tests captured in the given folder into .png.
cd "$1" 2>/dev/null || exit 0
for f in *.bmp; do
  [ -e "$f" ] || continue
  convert "$f" "${f%.bmp}.png" && rm "$f" || exit 1
done
