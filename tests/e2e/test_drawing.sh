#!/usr/bin/env bash
# hd 1 as a user sees it in a dated universe, held still: jumped to Saturn,
# its rings stand in its equatorial plane (the long axis of what they add to
# the picture across the planet's pole as seen, and as open as the pole is
# turned towards the camera); jumped to Zeme at 12:00 UT on the March
# equinox, with the night side on the left, the towns of eastern Asia light
# it where hd 0 shows only the dark map; v shows true sizes and v again the
# picture as it was. The same universe file is shown with hd 1 and hd 0,
# before a black sky, so that the two pictures differ only in what hd adds,
# in a window wide enough for the whole of the rings from where the jump
# puts the camera (1280 x 480: 45 degrees high, 96 across).
. "$(dirname "$0")/lib.sh"

if [ ! -d "$SOURCE_DIR/Data/planety_hd" ]; then
    echo "no $SOURCE_DIR/Data/planety_hd: the larger maps are not in this tree"
    fail "the larger maps are missing"
    finish
fi
make_workdir
ln -s "$SOURCE_DIR/Data/planety_hd" "$WORK/Data/planety_hd"
convert -size 8x4 xc:black "BMP3:$WORK/Data/black.bmp"
file=$WORK/Data/vesmir.ves
still=$WORK/still.ves
config() { printf 'width 1280\nheight 480\nhd %s\n' "$1" >"$WORK/configure.txt"; }

# 2018-03-20 12:00 UT, with the step so short that nothing moves while the
# program starts, and the sky black.
hold_still() {
    awk -F'\t' -v OFS='\t' '
        $1 == "deltat" { $2 = "0.0000001" }
        $1 == "datum" { $2 = "2458198.000000" }
        $1 == "ins" && $2 == "Vesmir" { $3 = "Data/black.bmp" }
        { print }' "$1" >"$2"
}

# ---- the dated universe, made still, with hd 1
config 1
APP_ARGS=(--date 2018-03-20T12:00)
start_app
wait_window || { fail "no window"; finish; }
close_boxes
wait_caption >/dev/null || fail "caption never set"
press p
press F2
eventually 15 test -s "$file" || { fail "F2 wrote nothing"; finish; }
hold_still "$file" "$still"
cp "$still" "$file"
press F3
sleep_ms $((1000 * E2E_SLOW))
shoot() { sleep_ms $((700 * E2E_SLOW)); screenshot && cp "$SHOT" "$WORK/$1.png"; }
press 7; shoot saturn-hd1
press 4; shoot zeme-hd1
press v; shoot zeme-true
press v; shoot zeme-back
quit_app || fail "Esc did not end the first run"

# ---- the same file with hd 0
config 0
APP_ARGS=(--load "$still")
start_app
wait_window || { fail "no window with hd 0"; finish; }
close_boxes
press p
press 7; shoot saturn-hd0
press 4; shoot zeme-hd0
quit_app || fail "Esc did not end the second run"

# Pixels as "x y r g b" lines, x and y from the top left.
pixels() { convert "$1" -depth 8 txt:- | sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'; }

# ---- Saturn's rings: what hd 1 adds beyond the planet's disc (4 radii
# away, 150 pixels in radius) and within 235 pixels, white text left out. The camera looks at the
# planet's middle, so the rings and their picture are symmetric about the
# pole as seen (from the file): the second moments of what they add have an
# axis along it; and the rings' near half, on the side the pole turns away
# from the camera, is the larger, which takes the middle of what they add
# there. A ring in another plane, or the plane mirrored, fails one or the
# other; hd 0 drawing rings would leave too little added. On this date the
# Sun stands behind the camera: the lit face, the planet's shadow hidden.
pole=$(awk -F'\t' '$1 == "ins" { name = $2 } $1 == "vlastnosti" && name == "Saturn" { print $7, $8, $9; exit }' "$still")
echo "Saturn's pole (model axes): $pole"
rings=$(paste -d' ' <(pixels "$WORK/saturn-hd1.png") <(pixels "$WORK/saturn-hd0.png") | awk -v pole="$pole" '
    {
        dx = $1 - 640; dy = 240 - $2
        # Within a circle about the middle, which keeps the symmetry.
        if (dx * dx + dy * dy < 155 * 155 || dx * dx + dy * dy > 235 * 235) next
        if ($3 >= 250 && $4 >= 250 && $5 >= 250) next
        if (($3 + $4 + $5) - ($8 + $9 + $10) < 45) next
        n++; sx += dx; sy += dy; sxx += dx * dx; syy += dy * dy; sxy += dx * dy
    }
    END {
        split(pole, p, " ")
        if (n < 2000) { printf "only %d pixels added\n", n; exit 1 }
        d = 45 / atan2(1, 1)
        axis = 0.5 * atan2(2 * sxy, sxx - syy) * d
        # The pole as seen: x to the right, y up, as the model x and y.
        seen = atan2(p[2], p[1]) * d
        off = axis - seen; while (off > 45) off -= 90; while (off < -45) off += 90
        len = sqrt(p[1] * p[1] + p[2] * p[2])
        towardsPole = (sx * p[1] + sy * p[2]) / n / len
        printf "%d pixels; an axis at %.1f degrees, the pole seen at %.1f: %.1f off; middle %.1f pixels towards the pole", n, axis, seen, off, towardsPole
        exit !(off < 6 && off > -6 && towardsPole * p[3] < -10)
    }')
status=$?
echo "rings: $rings"
check "Saturn's rings lie in its equatorial plane ($rings)" test $status -eq 0

# ---- the night side: left of the middle by more than 0.4 of the disc's
# radius (150 pixels) the Sun does not reach, and the dark map shows at a
# fifth of its brightness at most (51); lights there are brighter.
lights() {
    pixels "$1" | awk '{ dx = $1 - 640; dy = $2 - 240 }
        dx < -60 && dx * dx + dy * dy < 140 * 140 && ($3 + $4 + $5) / 3 > 70 { n++ }
        END { print n + 0 }'
}
with=$(lights "$WORK/zeme-hd1.png")
without=$(lights "$WORK/zeme-hd0.png")
echo "bright pixels on the night side: hd 1 $with, hd 0 $without"
check "hd 1 lights the night side with towns ($with bright pixels)" test "$with" -ge 25
check "hd 0 leaves it dark ($without bright pixels)" test "$without" -le 2

# ---- v and back: the true Zeme is a dot where the enlarged one filled the
# middle (its white label left out); v again gives the picture back.
disc() {
    pixels "$1" | awk '{ dx = $1 - 640; dy = $2 - 240 }
        dx * dx + dy * dy < 120 * 120 && ($3 + $4 + $5) > 30 && !($3 >= 250 && $4 >= 250 && $5 >= 250) { n++ }
        END { print n + 0 }'
}
enlarged=$(disc "$WORK/zeme-hd1.png")
true_size=$(disc "$WORK/zeme-true.png")
echo "lit pixels within 120 of the middle: enlarged $enlarged, true $true_size"
check "v shows Zeme at its true size ($true_size pixels against $enlarged)" test "$true_size" -lt $((enlarged / 50))
back=$(compare -metric AE -fuzz 3% "$WORK/zeme-hd1.png" "$WORK/zeme-back.png" null: 2>&1)
check "v again gives the picture back ($back pixels differ)" test "${back%% *}" -lt 100
finish
