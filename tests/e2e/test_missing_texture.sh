#!/usr/bin/env bash
# A texture that cannot be loaded is reported in a box titled
# "Nepodarilo se nacist texturu"; after it is closed the program runs on.
# With translate 1 the box speaks the user's language (Czech here, from the
# build tree's catalogs) and standard error keeps the text as written.
. "$(dirname "$0")/lib.sh"

make_workdir copy
rm "$WORK/Data/planety_256x128x24/3Earth.bmp"
start_app

title='^Nepodarilo se nacist texturu$'
box_up() { box=$(xdo search --onlyvisible --name "$title" | head -n 1); [ -n "$box" ] || ! kill -0 "$APP_PID" 2>/dev/null; }
box_gone() { ! xdo search --onlyvisible --name "$title" >/dev/null; }
box=""
eventually 30 box_up
check "the box titled 'Nepodarilo se nacist texturu' is shown" test -n "$box"
expected='Zeme c.: 4 ze souboru: Data/planety_256x128x24/3Earth.bmp!'
check "its text names Zeme, slot 4 and the path" grep -qF "$expected" "$WORK/stderr.txt"
check "exactly one box for the one missing file" test "$(announced_boxes)" -eq 1

if [ -n "$box" ]; then
    # As a user does: the box in front, Return. A Return that arrives while
    # the box is still being mapped goes nowhere, so it is pressed again
    # while the box stays.
    for _ in 1 2 3; do
        xdo windowfocus "$box"
        xdo key Return
        eventually 3 box_gone && break
    done
    check "Return closes the box" box_gone
fi

wait_window || fail "no main window after the box"
caption=$(wait_caption) || fail "caption never set after the box"
check "the program runs on (caption '$caption')" test -n "$caption"
sleep 1
screenshot
check "the Sun is still drawn" test "$(sunny_pixels 260 350 120 120)" -gt 1500
check "no second box" test "$(announced_boxes)" -eq 1

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0

sed -i 's/^translate .*/translate 1/' "$WORK/configure.txt"
LANGUAGE=cs LANG=C.UTF-8 start_app
title='^Nepodařilo se načíst texturu$'
box=""
eventually 30 box_up
check "with translate 1 and LANGUAGE=cs the box is titled 'Nepodařilo se načíst texturu'" test -n "$box"
check "standard error keeps the text as written" grep -qF "orrery: Nepodarilo se nacist texturu: $expected" "$WORK/stderr.txt"
for _ in 1 2 3; do
    [ -n "$box" ] || break
    xdo windowfocus "$box"
    xdo key Return
    eventually 3 box_gone && break
done
check "Return closes the Czech box" box_gone
wait_window || fail "no main window after the Czech box"
quit_app; status=$?
check "Esc ends the Czech run with status 0 (got $status)" test "$status" -eq 0
finish
