#!/usr/bin/env bash
# The sandbox's keys in the real window, read through F2's files with time
# paused, so that files are comparable: ] doubles Jupiter's mass and
# Backspace brings the file back byte for byte, Delete and Backspace the
# same, Insert adds a body 20 hyperspeeds ahead moving with the frame, a held
# Insert throws it faster than a tap, and a body thrown at the Earth merges
# with it once time runs.
. "$(dirname "$0")/lib.sh"

make_workdir
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"

file=$WORK/Data/vesmir.ves
# save NAME: F2, and the file kept as $WORK/NAME.ves.
save() {
    rm -f "$file"
    focus_app
    press F2
    eventually 15 test -s "$file" || { fail "F2 wrote no file for $1"; return 1; }
    cp "$file" "$WORK/$1.ves"
}
# field FILE NAME COLUMN: a column of a body's line (4 radius, 5 mass, 6-8
# position, 9-11 velocity).
field() { awk -F'\t' -v n="$2" -v c="$3" '$1 == "ins" && $2 == n { print $c; exit }' "$1"; }
bodies() { grep -c '^ins' "$1"; }
# speed FILE NAME OTHER: the speed of NAME relative to OTHER.
speed() {
    awk -F'\t' -v a="$2" -v b="$3" '$1 == "ins" && $2 == a { x = $9; y = $10; z = $11 }
        $1 == "ins" && $2 == b { u = $9; v = $10; w = $11 }
        END { printf "%.9f\n", sqrt((x - u) ^ 2 + (y - v) ^ 2 + (z - w) ^ 2) }' "$1"
}
# near A B TOLERANCE
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { exit !((a - b) ^ 2 <= t ^ 2) }'; }

focus_app
press p
press 6
save start
check "riding with Jupiter, the file has the built-in 11 bodies" test "$(bodies "$WORK/start.ves")" -eq 11

# ] and Backspace.
key bracketright
save heavier
m0=$(field "$WORK/start.ves" Jupiter 5) m1=$(field "$WORK/heavier.ves" Jupiter 5)
check "] doubles Jupiter's mass ($m0 -> $m1)" near "$m1" "$(awk -v m="$m0" 'BEGIN { printf "%.17g", 2 * m }')" 1e-9
check "] keeps Jupiter's radius" test "$(field "$WORK/start.ves" Jupiter 4)" = "$(field "$WORK/heavier.ves" Jupiter 4)"
key BackSpace
save undone
check "Backspace restores the file byte for byte" cmp -s "$WORK/start.ves" "$WORK/undone.ves"

# Delete and Backspace; the frame goes back to the absolute one, the camera
# staying where it was, so the sky's line is as it was too.
key Delete
save removed
check "Delete removes Jupiter (10 bodies left)" test "$(bodies "$WORK/removed.ves")" -eq 10
check "no Jupiter line after Delete" test -z "$(field "$WORK/removed.ves" Jupiter 5)"
key BackSpace
save restored
check "Backspace brings Jupiter back, the file byte for byte" cmp -s "$WORK/start.ves" "$WORK/restored.ves"

# A body Tab selected is the one ] weighs, not the one ridden with: five
# presses from none are the Sun, Merkur, Venuse, Zeme, Mars.
press 6
key Tab Tab Tab Tab Tab
key bracketright
save mars
check "Tab to Mars, ] doubles Mars ($(field "$WORK/mars.ves" Mars 5))" \
    near "$(field "$WORK/mars.ves" Mars 5)" "$(awk -v m="$(field "$WORK/start.ves" Mars 5)" 'BEGIN { printf "%.17g", 2 * m }')" 1e-9
check "and leaves Jupiter, ridden with, as it was" \
    test "$(field "$WORK/mars.ves" Jupiter 5)" = "$(field "$WORK/start.ves" Jupiter 5)"
key BackSpace

# Insert tapped, riding with Jupiter again: 20 hyperspeeds (of 1) ahead of
# the camera, which stands 4 radii out on Jupiter's +z side looking at it.
press 6
key Insert
save tapped
check "a tapped Insert adds one body (12 lines)" test "$(bodies "$WORK/tapped.ves")" -eq 12
check "named Teleso_1, radius 1 (one hyperspeed), mass 1 (one Zeme)" \
    grep -qP '^ins\tTeleso_1\tData/planety_256x128x24/[A-Za-z]+\.bmp\t1\.0+\t1\.0+\t' "$WORK/tapped.ves"
for c in 6 7 8; do
    want=$(awk -v j="$(field "$WORK/tapped.ves" Jupiter $c)" -v r="$(field "$WORK/tapped.ves" Jupiter 4)" -v c=$c \
        'BEGIN { printf "%.9f", j + (c == 8 ? 4 * r - 20 : 0) }')
    got=$(field "$WORK/tapped.ves" Teleso_1 $c)
    check "the added body stands 20 ahead of the camera (column $c: $got, want $want)" near "$got" "$want" 1e-6
done
tap_speed=$(speed "$WORK/tapped.ves" Teleso_1 Jupiter)
check "a tapped body moves with the frame, Jupiter ($tap_speed off)" near "$tap_speed" 0 1e-3
key BackSpace

# Held for a second and a half it leaves along the line of sight, below the
# escape speed from Jupiter at 15.6.
key_down Insert
sleep_ms 1500
key_up Insert
save thrown
thrown_speed=$(speed "$WORK/thrown.ves" Teleso_1 Jupiter)
note "speeds relative to Jupiter: tapped $tap_speed, held 1.5 s $thrown_speed"
check "a held Insert throws faster than a tap ($thrown_speed > $tap_speed + 0.1)" \
    awk -v a="$thrown_speed" -v b="$tap_speed" 'BEGIN { exit !(a > b + 0.1) }'
check "no faster than the escape speed from Jupiter at 15.6 ($thrown_speed)" \
    awk -v a="$thrown_speed" 'BEGIN { exit !(a <= sqrt(2 * 0.01 * 318 / 15.6)) }'
check "thrown towards Jupiter, along -z" \
    awk -v a="$(field "$WORK/thrown.ves" Teleso_1 11)" -v b="$(field "$WORK/thrown.ves" Jupiter 11)" \
    'BEGIN { exit !(a < b - 0.1) }'
key BackSpace

# At the Earth from 0.4 out, the hyperspeed at 0.01: the body starts 0.2
# from its centre and hits it once time runs; the Earth takes its mass.
press 4
key Alt_L Alt_L
save earth
key_down Insert
sleep_ms 1000
key_up Insert
press p
merged() {
    save hit && [ "$(bodies "$WORK/hit.ves")" -eq 11 ] && [ -z "$(field "$WORK/hit.ves" Teleso_1 5)" ]
}
eventually 20 merged
check "the thrown body hits the Earth and is gone (11 bodies)" merged
check "the Earth's mass is its own and the body's, 2 ($(field "$WORK/hit.ves" Zeme 5))" \
    near "$(field "$WORK/hit.ves" Zeme 5)" 2 1e-9
r=$(field "$WORK/hit.ves" Zeme 4) want=$(awk 'BEGIN { printf "%.17g", (0.1 ^ 3 + 0.01 ^ 3) ^ (1 / 3) }')
check "the Earth's radius is the cube root of the summed cubes ($r, want $want)" near "$r" "$want" 1e-12
# Undoing the merge takes the universe back to right before it.
press p
key BackSpace
save unmerged
check "Backspace undoes the merge (12 bodies, Zeme's mass 1)" \
    bash -c "[ $(bodies "$WORK/unmerged.ves") -eq 12 ] && [ '$(field "$WORK/unmerged.ves" Zeme 5)' = '1.000000' ]"

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
