#!/usr/bin/env bash
# The sky in Data/ must be what the sky tool makes from the star file in
# Data/: a change to the tool, the sphere mapping or the catalogue that was
# not followed by a new texture fails here.
#   tools/check_sky_texture.sh GEN_SKY SOURCE_DIR
set -u
tool=$1 source=$2
out=$(mktemp -d /tmp/orrery-sky-check.XXXXXX)
trap 'rm -rf "$out"' EXIT
"$tool" "$out" "$source/Data/bright_stars.txt" || exit 1
if ! cmp "$out/Spacea.bmp" "$source/Data/planety_256x128x24/Spacea.bmp"; then
  echo "Data/planety_256x128x24/Spacea.bmp is not what $tool makes from Data/bright_stars.txt;" >&2
  echo "make it again: build/tools/gen_sky Data/planety_256x128x24" >&2
  exit 1
fi
echo "the sky texture is up to date"
