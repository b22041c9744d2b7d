#!/usr/bin/env bash
# The mouse is grabbed: relative motion turns the camera. Moving it right
# turns the view right (60 pixels make 20 degrees), so the Sun slides to the
# left of the window.
. "$(dirname "$0")/lib.sh"

make_workdir
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"
screenshot
centre_before=$(sunny_pixels 260 350 120 120)
left_before=$(sunny_pixels 0 330 200 150)
for i in 1 2 3; do xdotool mousemove_relative -- 20 0; sleep 0.1; done
sleep 1
screenshot
centre_after=$(sunny_pixels 260 350 120 120)
left_after=$(sunny_pixels 0 330 200 150)
echo "Sun below the centre: $centre_before -> $centre_after; at the left: $left_before -> $left_after"
check "the Sun left the centre" test "$centre_after" -lt $((centre_before / 4))
check "the Sun is now further left" test "$left_after" -gt $((left_before + 1000))

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
