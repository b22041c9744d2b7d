#!/usr/bin/env bash
# Remakes the bodies' maps in Data/planety_256x128x24 (every map 256 x 128) and
# Data/planety_hd (the sources' own sizes, within a memory budget) from
# published maps in two Debian packages, fetched with apt-get download. It
# leaves the sky (Spacea.bmp, tools/gen_sky) alone and writes no SOURCES.txt:
# the credits and licences there are kept by hand, from the table below.
#
#   tools/make_textures.sh [build folder, default build]
#
# Needs build/tools/bmp_write (cmake --build build --target bmp_write),
# ImageMagick's convert, apt-get with current package lists (no root needed)
# and dpkg-deb. The packages are kept unpacked in $ORRERY_TEXTURE_SOURCES
# (default build/texture-sources), where the maps' test finds them too;
# delete that folder to fetch them again.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bmp_write=$build/tools/bmp_write
sources=${ORRERY_TEXTURE_SOURCES:-$root/build/texture-sources}
small=$root/Data/planety_256x128x24
hd=$root/Data/planety_hd

die() {
    echo "make_textures: $*" >&2
    exit 1
}
[ -x "$bmp_write" ] || die "$bmp_write not found; build it first (cmake --build $build --target bmp_write)"
command -v convert >/dev/null || die "ImageMagick's convert is missing (apt-get install imagemagick)"

# The versions whose maps were looked at, feature by feature, for the
# longitude and pole conventions in the table; another version may have
# replaced a map.
declare -A checked=([stellarium-data]=0.22.2-1 [xplanet-images]=1.3.1-3)
declare -A folder=([stellarium-data]=usr/share/stellarium/textures [xplanet-images]=usr/share/xplanet/images)

mkdir -p "$sources"
for package in stellarium-data xplanet-images; do
    if [ ! -d "$sources/$package/${folder[$package]}" ]; then
        rm -f "$sources/${package}"_*.deb
        (cd "$sources" && apt-get download "$package") ||
            die "apt-get download $package failed (as root, apt-get update first)"
        dpkg-deb -x "$sources/${package}"_*.deb "$sources/$package.tmp"
        mv "$sources/$package.tmp" "$sources/$package"
    fi
    deb=$(ls "$sources/${package}"_*.deb 2>/dev/null | head -n 1 || true)
    version=$([ -n "$deb" ] && dpkg-deb -f "$deb" Version || echo unknown)
    echo "$package $version"
    [ "$version" = "${checked[$package]}" ] ||
        echo "make_textures: warning: $package is $version, the table was checked against ${checked[$package]}" >&2
done
src_of() { echo "$sources/$1/${folder[$1]}/$2"; }

mkdir -p "$small" "$hd"
scratch=$(mktemp -d /tmp/orrery-textures.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# Writes the packed rows that convert left in $scratch/rows (blue, green, red,
# bottom row first) as a 24-bit BMP; widths are multiples of 4, so the rows
# need no padding.
write_bmp() { # out width height
    local bytes=$(($2 * $3 * 3))
    [ $(($2 % 4)) -eq 0 ] || die "$1: width $2 is no multiple of 4"
    [ "$(stat -c %s "$scratch/rows")" -eq "$bytes" ] || die "$1: convert gave no ${2}x$3 picture"
    "$bmp_write" "$1" "$2" "$3" 24 0 0 auto 40 "$scratch/rows"
}

# One map into both folders. TURN "pole" turns a map drawn with the other pole
# on top half a turn about the axis through (0, 0): north comes back on top and
# longitudes change sign, which is a rotation, not a mirror. CENTRE is the
# east longitude at the source's middle column; ours have 0 at the left edge.
# The alpha some sources carry (about 0.86 near their poles) is dropped, not
# composed onto black.
map() { # out package file turn centre hd-size
    local out=$1 file turn=$4 centre=$5 width height ops=()
    file=$(src_of "$2" "$3")
    [ -f "$file" ] || die "$file is missing"
    read -r width height < <(identify -format '%w %h\n' "$file" | head -n 1)
    [ "$width" -eq $((2 * height)) ] || die "$file is ${width}x$height, not a whole sphere"
    [ "$turn" = pole ] && ops+=(-rotate 180)
    case $centre in
        0) ops+=(-roll "+$((width / 2))+0") ;;
        180) ;;
        *) die "$out: centre $centre is neither 0 nor 180" ;;
    esac
    local size
    for size in 256x128 "$6"; do
        local w=${size%x*} h=${size#*x} dest=$small
        [ "$size" = "$6" ] && dest=$hd
        local scale=()
        [ "$w" -eq "$width" ] || scale=(-scale "${w}x$h!")
        convert "$file" -alpha off "${ops[@]}" "${scale[@]}" -flip -depth 8 "BGR:$scratch/rows"
        write_bmp "$dest/$out" "$w" "$h"
    done
}

# Which longitude is at each source's middle column, and which pole on top,
# was read off named features (the east longitudes are the IAU's): Mercury's
# Caloris Planitia and Hokusai, Mars's Olympus Mons and Hellas, the Moon's
# Mare Crisium and Mare Orientale, Phobos's Stickney, Io's Pele, Europa's
# browner trailing side and Pwyll, Ganymede's Galileo Regio and Tros,
# Callisto's Valhalla and Asgard, Mimas's Herschel, Tethys's Odysseus, Dione's
# and Rhea's wispy trailing sides (and Rhea's Inktomi), Iapetus's dark
# leading side, Pluto's Sputnik Planitia at 180 with Cthulhu west of it,
# Titania's Ursula and Messina Chasmata, Miranda's Inverness, Arden and
# Elsinore coronae and Oberon's Hamlet and Othello (both drawn with the
# other pole on top, as is Ariel by the same author). Where nothing fixed
# could be named (the gas giants' and Venus's clouds, Titan's haze,
# Deimos, Enceladus, Hyperion, Ariel, Umbriel, Triton, Charon) the package's
# own convention, 0 in the middle, is kept; Data/SOURCES.txt says which.
S=stellarium-data X=xplanet-images
# The Sun's photosphere keeps no features long enough to map: xplanet's
# uniform disc of its colour (255, 255, 166), at the least the hd folder takes.
map 0Sun.bmp        $X sun.jpg       - 0 512x256
map 1Mercury.bmp    $S mercury.png   - 0 512x256
map 2Venus.bmp      $S venus.png     - 0 512x256
map 3Earth.bmp      $X earth.jpg     - 0 2048x1024
# Half the source's width in the hd folder: at 2048 x 1024 the folder would
# pass its budget of 8 million texels.
map 3EarthNight.bmp $X night.jpg     - 0 1024x512
map 4Mars.bmp       $S mars.png      - 0 512x256
map 5Jupiter.bmp    $S jupiter.png   - 0 512x256
map 6Saturn.bmp     $S saturn.png    - 0 512x256
map 7Uran.bmp       $S uranus.png    - 0 512x256
map 8Neptun.bmp     $S neptune.png   - 0 512x256
map 9Pluto.bmp      $S pluto.png     - 180 512x256
map Moon.bmp        $S moon_4k.jpg   - 0 1024x512
map Phobos.bmp      $S phobos.png    - 0 512x256
map Deimos.bmp      $S deimos.png    - 0 512x256
map Io.bmp          $S io.png        - 0 512x256
map Europa.bmp      $S europa.png    - 0 512x256
map Ganymede.bmp    $S ganymede.png  - 0 512x256
map Callisto.bmp    $S callisto.png  - 0 512x256
map Mimas.bmp       $S mimas.png     - 0 512x256
map Enceladus.bmp   $S enceladus.png - 0 512x256
map Tethys.bmp      $S tethys.png    - 0 512x256
map Dione.bmp       $S dione.png     - 0 512x256
map Rhea.bmp        $S rhea.png      - 180 512x256
map Titan.bmp       $S titan.png     - 0 512x256
map Hyperion.bmp    $S hyperion.png  - 0 512x256
map Iapetus.bmp     $S iapetus.png   - 0 512x256
map Miranda.bmp     $S miranda.png   pole 0 512x256
map Ariel.bmp       $S ariel.png     pole 0 512x256
map Umbriel.bmp     $S umbriel.png   - 0 512x256
map Titania.bmp     $S titania.png   - 0 512x256
map Oberon.bmp      $S oberon.png    pole 0 512x256
map Triton.bmp      $S triton.png    - 0 512x256
map Charon.bmp      $S charon.png    - 0 512x256

# Saturn's rings: the package's radial strip spans the radii its planet table
# gives; ours runs from 74,500 to 140,200 km, so each column is read where its
# radius falls in the source, between the two nearest texels. The colour and
# the opacity (alpha, as grey) go to two strips of 4 rows, the same in both
# folders: the source has 256 texels.
ini=$sources/$S/usr/share/stellarium/data/ssystem_major.ini
read -r inner outer < <(awk -F'[= \t]+' '/^\[/{saturn = $0 == "[saturn]"} saturn && $1 == "ring_inner_size" {i = $2}
    saturn && $1 == "ring_outer_size" {o = $2} END {print i, o}' "$ini")
[ -n "$inner" ] && [ -n "$outer" ] || die "no ring radii for Saturn in $ini"
rings=$(src_of $S saturn_rings_radial.png)
ring_width=$(identify -format '%w' "$rings")
[ "$ring_width" -eq 256 ] || die "$rings is $ring_width texels wide, not 256"
read -r k b < <(awk -v i="$inner" -v o="$outer" -v w="$ring_width" \
    'BEGIN {printf "%.9f %.9f\n", (140200 - 74500) / (o - i), (74500 - i) / (o - i) * w}')
for strip in "6SaturnRings.bmp -alpha off" "6SaturnRingsAlpha.bmp -alpha extract"; do
    read -r out channel <<<"$strip"
    convert "$rings" $channel -virtual-pixel edge -interpolate bilinear \
        -fx "p{(i + 0.5) * $k + $b - 0.5, j}" -scale "${ring_width}x4!" -flip -depth 8 "BGR:$scratch/rows"
    write_bmp "$small/$out" "$ring_width" 4
    cp "$small/$out" "$hd/$out"
done
echo "Saturn's rings: source radii $inner..$outer km, ours 74500..140200 km"

total=0
for f in "$hd"/*.bmp; do
    read -r w h < <(identify -format '%w %h\n' "$f")
    total=$((total + w * h))
done
echo "$hd: $(ls "$hd"/*.bmp | wc -l) files, $total texels"
[ "$total" -le 8000000 ] || die "the hd folder holds $total texels, more than its 8 million"
