#!/usr/bin/env bash
# A texture that cannot be loaded is reported in a box titled
# "Nepodarilo se nacist texturu"; after it is closed the program runs on.
. "$(dirname "$0")/lib.sh"

make_workdir copy
rm "$WORK/Data/planety_256x128x24/3Earth.bmp"
start_app

box=""
for i in $(seq 1 300); do
    box=$(xdotool search --onlyvisible --name '^Nepodarilo se nacist texturu$' 2>/dev/null | head -n 1)
    [ -n "$box" ] && break
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
check "the box titled 'Nepodarilo se nacist texturu' is shown" test -n "$box"
expected='Zeme c.: 4 ze souboru: Data/planety_256x128x24/3Earth.bmp!'
check "its text names Zeme, slot 4 and the path" grep -qF "$expected" "$WORK/stderr.txt"
check "exactly one box for the one missing file" test "$(grep -c 'Nepodarilo se nacist texturu' "$WORK/stderr.txt")" -eq 1

if [ -n "$box" ]; then
    xdotool windowfocus "$box" 2>/dev/null
    xdotool key Return
    for i in $(seq 1 100); do
        xdotool search --onlyvisible --name '^Nepodarilo se nacist texturu$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    check "Return closes the box" bash -c "! xdotool search --onlyvisible --name '^Nepodarilo se nacist texturu$' >/dev/null 2>&1"
fi

wait_window || fail "no main window after the box"
caption=$(wait_caption) || fail "caption never set after the box"
check "the program runs on (caption '$caption')" test -n "$caption"
sleep 1
screenshot
check "the Sun is still drawn" test "$(sunny_pixels 260 350 120 120)" -gt 1500

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
