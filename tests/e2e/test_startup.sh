#!/usr/bin/env bash
# Start-up as a user sees it: the window with the Sun and the three status
# lines, the frame rate in the caption, and Esc ending with status 0.
. "$(dirname "$0")/lib.sh"

make_workdir
start_app
wait_window || { fail "no window"; finish; }
caption=$(wait_caption) || fail "caption never set"
echo "caption: $caption"
check "caption reads 'fps: N (100)'" bash -c "[[ '$caption' =~ ^fps:\ [0-9]+\ \(100\)$ ]]"

sleep 1
screenshot
# 640 x 480 window: the Sun sits below the centre (the camera is 30 above the plane).
sun=$(sunny_pixels 260 350 120 120)
echo "sun pixels: $sun"
check "the Sun is drawn below the centre" test "$sun" -gt 1500
check "status line at the lower left" test "$(bright_pixels 0 452 160 28)" -gt 40
check "'help - F1' at the lower right" test "$(bright_pixels 500 452 140 28)" -gt 40
check "hyperspeed line at the upper left" test "$(bright_pixels 0 0 240 24)" -gt 40
check "nothing white in the empty upper middle" test "$(bright_pixels 250 40 140 100 90)" -lt 40

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
