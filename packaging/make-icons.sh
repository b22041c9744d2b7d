#!/bin/sh
# Remakes the icons from the Earth texture. The committed ones are from the
# procedural Earth the project drew before it had published maps; remade now
# they show NASA's Earth (not copyrighted, see Data/SOURCES.txt). Run from
# anywhere after a build: packaging/make-icons.sh [build folder, default build]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tool=$build/tools/make_icon
if [ ! -x "$tool" ]; then
    echo "make-icons: $tool not found; build first (cmake --build $build --target make_icon)" >&2
    exit 1
fi
for size in 48 64 128; do
    dir=$root/packaging/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    "$tool" "$root/Data/planety_256x128x24/3Earth.bmp" "$size" "$dir/orrery.png"
done
