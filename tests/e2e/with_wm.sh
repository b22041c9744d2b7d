#!/usr/bin/env bash
# Runs a command under a window manager (openbox) on the display in DISPLAY
# and stops the manager afterwards, so that any end-to-end test can be run as
# a desktop user meets the program:
#   tests/run_with_xvfb.sh tests/e2e/with_wm.sh bash tests/e2e/test_help.sh BIN SRC
# Sourced, it only defines wm_start and wm_stop, for a test that switches the
# manager on and off between its cases.

WM_PID=""

# Whether openbox has taken on a window mapped just now: it announces itself
# a little before it handles map requests, and a window that asks in between
# is never mapped at all. The probe is a small xmessage.
wm_manages_new_windows() {
    local pid id deadline=$((SECONDS + 3)) managed=1
    xmessage -name orrery-wm-probe -geometry +0+0 probe >/dev/null 2>&1 &
    pid=$!
    while [ $SECONDS -lt $deadline ]; do
        id=$(timeout 5 xdotool search --classname '^orrery-wm-probe$' 2>/dev/null | head -n 1)
        if [ -n "$id" ] && xprop -id "$id" WM_STATE 2>/dev/null | grep -q Normal; then
            managed=0
            break
        fi
        sleep 0.05
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return $managed
}

# Starts openbox and returns once it manages the screen: it has announced
# itself on the root window and maps new windows. Output goes to the file in
# $1, if given.
wm_start() {
    local log=${1:-/dev/null} deadline id
    if ! command -v openbox >/dev/null 2>&1; then
        echo "with_wm: openbox is not installed (apt-get install openbox)" >&2
        return 1
    fi
    # A manager stopped earlier on this display leaves its announcement behind.
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
    openbox --sm-disable >"$log" 2>&1 &
    WM_PID=$!
    deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ] && kill -0 "$WM_PID" 2>/dev/null; do
        id=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null)
        id=${id##* }
        case "$id" in
            0x*) xprop -id "$id" -notype _NET_WM_NAME 2>/dev/null | grep -q '"Openbox"' && break ;;
        esac
        sleep 0.05
    done
    while [ $SECONDS -lt $deadline ] && kill -0 "$WM_PID" 2>/dev/null; do
        wm_manages_new_windows && return 0
    done
    echo "with_wm: openbox did not come up" >&2
    wm_stop
    return 1
}

wm_stop() {
    [ -n "$WM_PID" ] || return 0
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    WM_PID=""
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
    return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    [ $# -gt 0 ] || { echo "usage: with_wm.sh COMMAND [ARGUMENTS...]" >&2; exit 2; }
    wm_start || exit 1
    "$@"
    status=$?
    wm_stop
    exit $status
fi
