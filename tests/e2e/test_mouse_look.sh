#!/usr/bin/env bash
# Mouse look as a user does it: a full turn to the left, 1080 pixels at three
# to a degree, in twelve moves of 90 pixels, which carries the pointer far past
# the window's edge. The view must really turn on the way (the Sun leaves the
# picture) and come back to the first picture, while the pointer stays in the
# window. In a window and in full screen, on the bare X server and under a
# window manager (openbox), and from the window to full screen and back with
# F11, a full turn in each. Last, under the window manager with another window
# on screen: while Alt+Tab has given the focus away, mouse motion and keys do
# nothing (the Alt of Alt+Tab included), and once the focus is back mouse look
# works again.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/with_wm.sh"

OTHER_PID=""
on_cleanup() {
    if [ -n "$OTHER_PID" ]; then kill "$OTHER_PID" 2>/dev/null; fi
    wm_stop
}

sun_gone() { screenshot && find_sun && [ "$SUN_AREA" -eq 0 ]; }

# Two boxes "WxH+X+Y" within 3 pixels of each other in every number: a
# degree of turn moves the Sun by about ten.
boxes_match() {
    local a b i
    IFS='x+' read -r -a a <<<"$1"
    IFS='x+' read -r -a b <<<"$2"
    [ ${#a[@]} -eq 4 ] && [ ${#b[@]} -eq 4 ] || return 1
    for i in 0 1 2 3; do
        [ $((a[i] - b[i])) -le 3 ] && [ $((b[i] - a[i])) -le 3 ] || return 1
    done
}
# The Sun is where the box in $1 says and was there at the last look as well,
# so the view has come to rest.
LAST_BOX=""
sun_settled_at() {
    screenshot && find_sun || return 1
    local previous=$LAST_BOX
    LAST_BOX=$SUN_BOX
    [ "$SUN_AREA" -gt 0 ] && boxes_match "$SUN_BOX" "$previous" && boxes_match "$SUN_BOX" "$1"
}

# The pointer lies inside the program's window.
pointer_in_window() {
    local geometry x y w h X Y
    geometry=$(xwininfo -id "$WIN" 2>/dev/null)
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geometry")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geometry")
    w=$(awk '/^ *Width:/ {print $NF}' <<<"$geometry")
    h=$(awk '/^ *Height:/ {print $NF}' <<<"$geometry")
    eval "$(xdo getmouselocation --shell | grep -E '^[XY]=')"
    [ -n "$x" ] && [ "$X" -ge "$x" ] && [ "$X" -lt $((x + w)) ] && [ "$Y" -ge "$y" ] && [ "$Y" -lt $((y + h)) ]
}

# Turns a full circle to the left and checks the way and the end.
full_turn() {
    local label=$1 first=$2 step
    for step in $(seq 1 12); do
        xdo mousemove_relative -- -90 0
        case $step in
            3 | 6 | 9) check "$label: the Sun has left the picture $((step * 30)) degrees on" eventually 10 sun_gone ;;
        esac
        [ $step = 6 ] && check "$label: the pointer is still in the window half a turn on" pointer_in_window
    done
    LAST_BOX=""
    check "$label: after 1080 pixels the Sun is back where it was ($first)" eventually 15 sun_settled_at "$first"
    [ "$SUN_BOX" = "$first" ] || note "$label: first $first, last $SUN_BOX"
    check "$label: the pointer is still in the window" pointer_in_window
}

# Stops the program and, if $2 is "wm", the window manager.
end_case() {
    local status
    quit_app; status=$?
    check "$1: Esc ends with status 0 (got $status)" test "$status" -eq 0
    [ "$2" = wm ] && wm_stop
}

# Starts a case: $1 label, $2 fullscreen 0 or 1, $3 "wm" or "bare"; the
# program up with the Sun in its first picture, whose box is in FIRST. Ends
# the case and fails when it does not come so far.
FIRST=""
start_case() {
    note "--- $1"
    sed -i "s/^fullscreen .*/fullscreen $2/" "$WORK/configure.txt"
    SHOT_SCREEN=""
    [ "$2" = 1 ] && SHOT_SCREEN=1
    if [ "$3" = wm ]; then wm_start "$WORK/openbox.log" || { fail "$1: openbox did not start"; return 1; }; fi
    # Where the window will open, as the user's hand would be.
    xdo mousemove --polar 0 0
    start_app
    if ! wait_window || ! wait_caption >/dev/null; then fail "$1: the program did not come up"; end_case "$1" "$3"; return 1; fi
    focus_app
    if ! eventually 20 sun_seen; then fail "$1: no Sun in the first picture"; end_case "$1" "$3"; return 1; fi
    FIRST=$SUN_BOX
}

# One case: a full turn; in full screen the picture covers the screen.
turn_case() {
    start_case "$@" || return
    [ "$2" = 1 ] && screen_corners "$1"
    full_turn "$1" "$FIRST"
    end_case "$1" "$3"
}

# F11 from the window to full screen and back, a full turn in each; $2 is
# "wm" or "bare". Full screen covers the screen either way.
f11_case() {
    local label=$1 first
    start_case "$label" 0 "$2" || return
    first=$FIRST
    full_turn "$label, in the window" "$first"

    press F11
    SHOT_SCREEN=1
    if eventually 10 sun_seen; then
        screen_corners "$label, F11"
        full_turn "$label, in full screen" "$SUN_BOX"
    else
        fail "$label: no Sun in full screen"
    fi
    press F11
    SHOT_SCREEN=""
    LAST_BOX=""
    check "$label: F11 again shows the window's first picture ($first)" eventually 10 sun_settled_at "$first"
    full_turn "$label, back in the window" "$first"
    end_case "$label" "$2"
}

# Full screen has the screen's own size, 5:4 here, and the text keeps to its
# corners there as in a 4:3 window.
screen_corners() {
    local w h
    read -r w h < <(xwininfo -root | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w, h}')
    check "$1: the picture has the screen's size ${w}x$h" test "$(identify -format '%wx%h' "$SHOT")" = "${w}x$h"
    check "$1: status line at the screen's lower left" test "$(bright_pixels 0 $((h - 28)) 160 28)" -gt 40
    check "$1: 'help - F1' at the lower right" test "$(bright_pixels $((w - 360)) $((h - 28)) 360 28)" -gt 40
    check "$1: hyperspeed line at the upper left" test "$(bright_pixels 0 0 240 $((h * 24 / 480)))" -gt 40
}

# Bright text in the top-left corner, where the status shows the hyperspeed
# level; kept as a black-and-white picture in $1 when given.
status_text() {
    convert "$SHOT" -crop 200x22+0+0 +repage -colorspace Gray -threshold 95% \
        ${1:+-write "$1"} -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
status_shown() { screenshot && [ "$(status_text)" -gt 100 ]; }
help_shown() { screenshot && [ "$(status_text)" -lt 20 ]; }
# Once F1 has shown the help and taken it away again, everything sent before
# it has been handled by the program.
handled() { key F1 && eventually 10 help_shown && key F1 && eventually 10 status_shown; }
has_focus() { [ "$(xdo getwindowfocus)" = "$1" ]; }
# Alt+Tab at a person's pace. Sent all at once, the Alt may be up again
# before openbox has begun to cycle, and openbox then keeps the keyboard.
alt_tab() { key_down alt; sleep 0.15; xdo key Tab; sleep 0.15; key_up alt; }

focus_case() {
    local label="focus" first other
    note "--- $label"
    SHOT_SCREEN=""
    sed -i "s/^fullscreen .*/fullscreen 0/" "$WORK/configure.txt"
    wm_start "$WORK/openbox.log" || { fail "$label: openbox did not start"; return; }
    # The other window sits in the bottom-right corner, clear of the program's status line.
    xmessage -name orrery-e2e-other -geometry -0-0 "another window" >"$WORK/xmessage.txt" 2>&1 &
    OTHER_PID=$!
    other_up() { other=$(xdo search --onlyvisible --classname '^orrery-e2e-other$' | head -n 1); [ -n "$other" ]; }
    if ! eventually 20 other_up; then
        fail "$label: xmessage did not come up: $(cat "$WORK/xmessage.txt")"
        wm_stop
        return
    fi
    xdo mousemove --polar 0 0
    start_app
    if ! wait_window || ! wait_caption >/dev/null; then fail "$label: the program did not come up"; end_case "$label" wm; return; fi
    check "$label: the program has the focus" eventually 10 has_focus "$WIN"
    eventually 20 sun_seen || { fail "$label: no Sun in the first picture"; end_case "$label" wm; return; }
    first=$SUN_BOX
    status_text "$WORK/status-before.png" >/dev/null

    alt_tab
    check "$label: Alt+Tab gives the focus to the other window" eventually 10 has_focus "$other"
    # Half a turn and Left Alt while the other window has the focus.
    for _ in 1 2 3 4 5 6; do xdo mousemove_relative -- -90 0; done
    xdo key alt
    alt_tab
    check "$label: Alt+Tab brings the focus back" eventually 10 has_focus "$WIN"
    check "$label: the program answers again" handled
    screenshot
    find_sun
    check "$label: the view did not turn while the focus was away ($first, now $SUN_BOX)" boxes_match "$SUN_BOX" "$first"
    status_text "$WORK/status-after.png" >/dev/null
    check "$label: the hyperspeed level did not change" \
        test "$(compare -metric AE "$WORK/status-before.png" "$WORK/status-after.png" null: 2>&1)" = 0

    # Mouse look works again, although the pointer was left outside the
    # window by the moves made while it was free.
    full_turn "$label" "$first"
    end_case "$label" wm
    kill "$OTHER_PID" 2>/dev/null
    OTHER_PID=""
}

make_workdir
turn_case "window" 0 bare
turn_case "full screen" 1 bare
turn_case "window under openbox" 0 wm
turn_case "full screen under openbox" 1 wm
f11_case "F11 under openbox" wm
f11_case "F11 on the bare server" bare
focus_case
finish
