#!/usr/bin/env bash
# Without a display the program reports the SDL failure on standard error and
# ends with status 1, without waiting for anyone.
. "$(dirname "$0")/lib.sh"

make_workdir
(cd "$WORK" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$ORRERY_BIN" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt")
status=$?
cat "$WORK/stderr.txt"
check "status 1 (got $status)" test "$status" -eq 1
check "the SDL failure is on standard error" grep -qE "^(Could not initialise SDL: |Couldn't set GL video mode: ).+" "$WORK/stderr.txt"
check "nothing on standard output" test ! -s "$WORK/stdout.txt"

# The same when the X11 driver is asked for by name.
(cd "$WORK" && env -u DISPLAY SDL_VIDEODRIVER=x11 timeout 30 "$ORRERY_BIN" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt")
status=$?
check "x11 driver without display: status 1 (got $status)" test "$status" -eq 1
check "x11 driver without display: reported" grep -qE "^(Could not initialise SDL: |Couldn't set GL video mode: ).+" "$WORK/stderr.txt"
finish
