#!/bin/sh
# Turns the texture folder into PNGs for a look: each map enlarged 2x, a
# labelled montage of all of them, and for each a strip of the map placed
# twice side by side so that the 0/360 meridian join can be checked by eye.
# Usage: tools/preview_textures.sh [texture-folder] [output-folder]
set -eu
src=${1:-Data/planety_256x128x24}
out=${2:-/tmp/texture-preview}
mkdir -p "$out"
for f in "$src"/*.bmp; do
    name=$(basename "$f" .bmp)
    convert "$f" -filter point -resize 200% "$out/$name.png"
    convert "$f" "$f" +append -filter point -resize 200% "$out/$name-seam.png"
done
montage -label '%t' "$src"/*.bmp -tile 4x -geometry +4+4 -background '#404040' "$out/montage.png"
echo "$out"
