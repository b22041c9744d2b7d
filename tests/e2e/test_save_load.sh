#!/usr/bin/env bash
# F2 writes Data/vesmir.ves from the running universe; F3 reads it back, and
# what was read is what the next F2 writes.
. "$(dirname "$0")/lib.sh"

make_workdir
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"

file=$WORK/Data/vesmir.ves
check "no universe file before F2" test ! -e "$file"
press F2
eventually 15 test -s "$file"
check "F2 writes Data/vesmir.ves" test -s "$file"
check "first line is poc_planet 11" bash -c "head -n 1 '$file' | grep -qxP 'poc_planet\t11'"
check "deltat line" grep -qxP 'deltat\t0.005000' "$file"
check "kapa line" grep -qxP 'kapa\t0.010000' "$file"
check "comment line" grep -qxF "$(printf '//meno\tsoubor\tpolomer\thmotnost\tx\ty\tz\tvx\tvy\tvz\trotace\tosa_rotace')" "$file"
check "eleven body lines" test "$(grep -c '^ins' "$file")" -eq 11
check "the sky sphere comes first" bash -c "grep '^ins' '$file' | head -n 1 | grep -qP '^ins\tVesmir\tData/planety_256x128x24/Spacea.bmp\t5000.000000\t1.000000\t'"
check "Pluto comes last" bash -c "grep '^ins' '$file' | tail -n 1 | grep -qP '^ins\tPluto\t'"
check "no temporary file is left" bash -c "! ls '$WORK/Data' | grep -q tmp"

# A smaller universe: only the sky, the Sun and Zeme, time twice as fast.
{
    printf 'poc_planet\t3\ndeltat\t0.010000\nkapa\t0.010000\n'
    grep '^ins' "$file" | sed -n '1,2p;5p'
} > "$WORK/small.ves"
cp "$WORK/small.ves" "$file"
press F3
# Until the load has been seen, a save still writes eleven bodies; the load
# must show within seconds all the same.
saved_loaded() {
    rm -f "$file"
    press F2
    eventually 5 test -s "$file" && [ "$(grep -c '^ins' "$file")" -eq 3 ]
}
eventually 15 saved_loaded
check "F2 after F3 writes the loaded universe" test -s "$file"
check "the loaded deltat is kept" grep -qxP 'deltat\t0.010000' "$file"
check "three bodies now" test "$(grep -c '^ins' "$file")" -eq 3
check "Zeme moved to slot 2" bash -c "grep '^ins' '$file' | sed -n 3p | grep -qP '^ins\tZeme\t'"

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
