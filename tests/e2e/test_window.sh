#!/usr/bin/env bash
# A window like any other desktop program's, with "resizable 1": the window
# manager (openbox) resizes it to 1000x700 and to 1600x900 (run on a screen
# large enough for that), and each time the picture fills the new size with
# the right aspect: the Sun is round, the status text sits in the window's
# corners, and the help screen, down to its last line, lies inside the window.
# Last, F11 to full screen and back at the size the window had.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/with_wm.sh"
on_cleanup() { wm_stop; }

window_size() { xwininfo -id "$WIN" 2>/dev/null | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w "x" h}'; }
size_is() { [ "$(window_size)" = "$1" ]; }
# The window's picture, in $SHOT, has this size.
picture_is() { screenshot && [ "$(identify -format '%wx%h' "$SHOT" 2>/dev/null)" = "$1" ]; }

# Bright text in a band of rows (fractions of the height) at the left.
text_rows() {
    local w=$1 h=$2 from=$3 to=$4
    bright_pixels 0 $((h * from / 100)) $((w / 2)) $((h * (to - from) / 100)) 95
}

# The corners and the Sun in a w x h window; the label says which size.
check_picture() {
    local label=$1 w=${2%x*} h=${2#*x} bw bh
    check "$label: status line at the lower left" test "$(bright_pixels 0 $((h - 28)) 160 28)" -gt 40
    check "$label: 'help - F1' at the lower right" test "$(bright_pixels $((w - 360)) $((h - 28)) 360 28)" -gt 40
    check "$label: hyperspeed line at the upper left" test "$(bright_pixels 0 0 240 $((h * 24 / 480 + 8)))" -gt 40
    find_sun
    note "$label: Sun $SUN_BOX, $SUN_AREA pixels"
    # Perspective draws a sphere below the middle of the view a little taller
    # than wide; with the right aspect it keeps the shape it has in the 4:3
    # window at the start. A 4:3 picture stretched to 1000x700 would be 7 %
    # wider, to 1600x900 a third.
    local ratio
    ratio=$(sun_shape)
    check "$label: the Sun is round, width/height $ratio against $START_SHAPE at the start, within 3 %" \
        test "$SUN_AREA" -gt 500 -a $((ratio - START_SHAPE)) -le 30 -a $((START_SHAPE - ratio)) -le 30
}
# Width over height of SUN_BOX, in thousandths.
sun_shape() {
    local bw=${SUN_BOX%%x*} bh=${SUN_BOX#*x}
    bh=${bh%%+*}
    echo $((1000 * bw / (bh > 0 ? bh : 1)))
}

make_workdir
sed -i 's/^resizable .*/resizable 1/' "$WORK/configure.txt"
wm_start "$WORK/openbox.log" || { fail "openbox did not start"; finish; }
start_app
if ! wait_window || ! wait_caption >/dev/null; then fail "the program did not come up"; finish; fi
focus_app
check "the Sun is in the first picture" eventually 20 sun_seen
START_SHAPE=$(sun_shape)
note "640x480: Sun $SUN_BOX, shape $START_SHAPE"

for size in 1000x700 1600x900; do
    note "--- $size"
    xdo windowsize "$WIN" "${size%x*}" "${size#*x}"
    check "$size: the window manager made the window $size (got $(window_size))" eventually 10 size_is "$size"
    check "$size: the picture is $size" eventually 10 picture_is "$size"
    sleep_ms $((500 * E2E_SLOW))
    screenshot
    check_picture "$size" "$size"
    press F1
    w=${size%x*}
    h=${size#*x}
    help_inside() {
        screenshot &&
            # The title at the top and the last line (F11) near the bottom,
            # and no status line under it.
            [ "$(text_rows "$w" "$h" 3 10)" -gt 40 ] && [ "$(text_rows "$w" "$h" 92 98)" -gt 40 ] &&
            [ "$(bright_pixels 0 $((h - 12)) 160 12 95)" -lt 10 ]
    }
    check "$size: the help screen, down to its last line, lies inside the window" eventually 10 help_inside
    press F1
done

note "--- F11 and back"
press F11
read -r sw sh < <(xwininfo -root | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w, h}')
SHOT_SCREEN=1
screen_full() { screenshot && [ "$(bright_pixels 0 $((sh - 28)) 160 28)" -gt 40 ] && [ "$(bright_pixels $((sw - 360)) $((sh - 28)) 360 28)" -gt 40 ]; }
check "F11: full screen shows the status text in the screen's corners" eventually 10 screen_full
screenshot
check_picture "full screen" "${sw}x$sh"
SHOT_SCREEN=""
press F11
check "F11 again: the window comes back at 1600x900 (got $(window_size))" eventually 10 size_is 1600x900
check "F11 again: the picture is 1600x900" eventually 10 picture_is 1600x900
sleep_ms $((500 * E2E_SLOW))
screenshot
check_picture "back in the window" 1600x900

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
