#!/usr/bin/env bash
# F1 shows the help screen instead of the status lines; a second F1 hides it.
. "$(dirname "$0")/lib.sh"

make_workdir
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"

screenshot
before_status=$(bright_pixels 0 452 160 28)
before_help=$(bright_pixels 100 20 400 260)
# The help is drawn some frames after the key, later on a busy machine.
help_shown() {
    screenshot
    after_status=$(bright_pixels 0 452 160 28)
    after_help=$(bright_pixels 100 20 400 260)
    [ "$after_help" -gt $((before_help + 400)) ] && [ "$after_status" -lt 10 ]
}
status_shown() { screenshot; [ "$(bright_pixels 0 452 160 28)" -gt 40 ]; }

press F1
eventually 10 help_shown
cp "$SHOT" "$WORK/help.png"
echo "status line: $before_status -> $after_status; help area: $before_help -> $after_help"
check "help text appears" test "$after_help" -gt $((before_help + 400))
check "status lines are hidden" test "$after_status" -lt 10
check "the hyperspeed line is hidden too" test "$(bright_pixels 0 0 80 12)" -lt 10
check "the scene is still drawn behind the help" test "$(sunny_pixels 260 350 120 120)" -gt 1000

press F1
check "second F1 brings the status lines back" eventually 10 status_shown
# Bodies' labels move through the help area; the help's text is thousands of
# pixels, so half-way between with and without it tells them apart.
check "and takes the help away" test "$(bright_pixels 100 20 400 260)" -lt $(((before_help + after_help) / 2))

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
