#!/usr/bin/env bash
# Knowing what one looks at, as a user does it on a real date: Tab to
# Jupiter and g fly the camera to it (status line and panel read back with
# OCR), a click at the centre selects the body there, and with the scene
# paused o draws only thin orbit lines and takes them away again to the pixel.
. "$(dirname "$0")/lib.sh"

make_workdir
APP_ARGS=(--date 2012-08-05T12:00)
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"
focus_app

have_ocr=1
command -v tesseract >/dev/null || { have_ocr=""; echo "skip: tesseract is not installed, texts are not read"; }

# Text of a region of the window (w h x y), enlarged and inverted for OCR;
# only what is nearly white counts, so that a planet behind is left out.
read_text() {
    convert "$SHOT" -crop "${1}x${2}+${3}+${4}" +repage -colorspace Gray -threshold "${6:-50}%" -negate \
        -resize 300% "$WORK/ocr.png" 2>/dev/null
    tesseract "$WORK/ocr.png" - --psm "${5:-6}" 2>/dev/null
}
status_text() { read_text 360 34 0 446 7 | tr -d '\n'; }
# The panel: right half of the window, below the hyperspeed and info lines.
panel_text() { read_text 400 320 240 35 6 88; }
# The first number after a word in the panel's text.
panel_number() { grep -i -m1 "$1" <<<"$2" | sed -n 's/^[^:]*:[^0-9]*\([0-9][0-9.]*\).*/\1/p'; }
within_percent() {  # value expected percent
    [ -n "$1" ] && awk -v v="$1" -v e="$2" -v p="$3" 'BEGIN { d = v - e; if (d < 0) d = -d; exit !(d <= e * p / 100) }'
}
# Pixels of a square about the centre that are lit (Jupiter's disc, not the night sky).
centre_lit() { bright_pixels $((320 - $1)) $((240 - $1)) $((2 * $1)) $((2 * $1)) 6; }

# ---- Tab six times is Jupiter (none, Sun, Merkur, Venuse, Zeme, Mars, Jupiter); g flies there
for _ in 1 2 3 4 5 6; do press Tab; done
press g
sleep_ms $((3000 * E2E_SLOW))
screenshot
lit=$(centre_lit 30)
check "after g and three seconds Jupiter's disc fills the centre ($lit of 3600 pixels lit)" test "$lit" -ge 3500
# The disc is centred: lit as far to each side and up and down (a disc of
# about 145 pixels), and dark sky beyond.
for at in "205 235 90" "425 235 90" "315 125 90" "315 345 90" "115 300 0" "515 300 0"; do
    set -- $at
    n=$(bright_pixels "$1" "$2" 10 10 6)
    if [ "$3" -gt 0 ]; then
        check "Jupiter's disc reaches ($1, $2), 110 pixels from the centre ($n of 100 lit)" test "$n" -ge "$3"
    else
        check "the sky at ($1, $2) is dark, outside the disc ($n of 100 lit)" test "$n" -le 5
    fi
done
if [ -n "$have_ocr" ]; then
    text=$(status_text)
    check "the status line reads '6/32 Jupiter' (read: '$text')" grep -q '6/32 Jupiter' <<<"$text"
    panel=$(panel_text)
    echo "$panel" | sed 's/^/  panel: /'
    check "the panel names Jupiter and its parent" grep -q 'Jupiter (Slunce)' <<<"$panel"
    mass=$(grep -m1 'Zeme)' <<<"$panel" | sed -n 's/.*(\([0-9.]*\) Zeme.*/\1/p')
    check "the panel gives Jupiter's mass, 317.8 Earth masses within 1 % (read: '$mass')" within_percent "$mass" 317.83 1
    axis=$(panel_number 'poloosa' "$panel")
    check "the panel gives a semi-major axis of 5.20 AU within 1 % (read: '$axis')" within_percent "$axis" 5.2026 1
    period=$(panel_number 'doba' "$panel")
    check "the panel gives an orbital period of 11.86 years within 1 % (read: '$period')" within_percent "$period" 11.862 1
fi

# ---- Tab moves on to Saturn; a click at the centre, where Jupiter is, selects it again
press Tab
sleep_ms 300
screenshot
if [ -n "$have_ocr" ]; then
    panel=$(panel_text)
    check "Tab after Jupiter selects Saturn (panel: '$(head -n1 <<<"$panel")')" grep -q 'Saturn (Slunce)' <<<"$panel"
fi
xdo click 1
sleep_ms $((500 * E2E_SLOW))
screenshot
if [ -n "$have_ocr" ]; then
    panel=$(panel_text)
    check "a click at the centre selects Jupiter there (panel: '$(head -n1 <<<"$panel")')" \
        grep -q 'Jupiter (Slunce)' <<<"$panel"
fi

# ---- paused, o draws thin lines only and o again restores the frame to the pixel
press p
sleep_ms $((500 * E2E_SLOW))
screenshot && cp "$SHOT" "$WORK/before.png"
press o
sleep_ms $((500 * E2E_SLOW))
screenshot && cp "$SHOT" "$WORK/orbits.png"
press o
sleep_ms $((500 * E2E_SLOW))
screenshot && cp "$SHOT" "$WORK/after.png"
changed=$(compare -metric AE "$WORK/before.png" "$WORK/orbits.png" null: 2>&1)
total=$((640 * 480))
check "o draws the orbits ($changed pixels changed)" test "${changed%%.*}" -gt 200
check "o changes thin lines only: $changed of $total pixels, at most 5 %" test "${changed%%.*}" -le $((total / 20))
back=$(compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>&1)
check "o again restores the frame pixel for pixel ($back pixels differ)" test "$back" = 0

quit_app || fail "the program did not end cleanly"
finish
