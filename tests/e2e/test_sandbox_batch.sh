#!/usr/bin/env bash
# Bodies that touch merge in a run without a window as in the window: two on
# a head-on course become one that keeps their mass, momentum and volume, and
# a crowd of 60 loads, runs a year and is saved whole, less the merged one.
# Needs no display.
. "$(dirname "$0")/lib.sh"

make_workdir
sky=$(printf 'ins\tVesmir\tData/planety_256x128x24/Spacea.bmp\t5000\t1\t0\t0\t0\t0\t0\t0\t0\t0')
batch() { (cd "$WORK" && env -u DISPLAY timeout 120 "$ORRERY_BIN" "$@" 2>>"$WORK/stderr.txt"); }

# Two bodies 10 apart closing at 3 a unit of time: A (mass 3, radius 0.5)
# at 1, B (mass 1, radius 0.25) at -2; they touch after about 3 units.
{
    printf 'poc_planet\t3\ndeltat\t0.005\nkapa\t0.01\n%s\n' "$sky"
    printf 'ins\tA\tData/planety_256x128x24/0Sun.bmp\t0.5\t3\t-5\t0\t0\t1\t0\t0\t0\t0\n'
    printf 'ins\tB\tData/planety_256x128x24/Io.bmp\t0.25\t1\t5\t0\t0\t-2\t0\t0\t0\t0\n'
} >"$WORK/headon.ves"
batch --load headon.ves --simulate 2000t --save merged.ves
check "the head-on run ends with status 0" test $? -eq 0
check "one body is left besides the sky ($(grep -c '^ins' "$WORK/merged.ves") lines)" \
    test "$(grep -c '^ins' "$WORK/merged.ves")" -eq 2
# "mass radius px py pz" of the one body.
read -r m r px py pz < <(awk -F'\t' '$1 == "ins" && $2 != "Vesmir" {
    printf "%.17g %.17g %.17g %.17g %.17g\n", $5, $4, $5 * $9, $5 * $10, $5 * $11 }' "$WORK/merged.ves")
note "merged: mass $m radius $r momentum ($px, $py, $pz)"
check "the survivor is the heavier, A" grep -qP '^ins\tA\tData/planety_256x128x24/0Sun.bmp\t' "$WORK/merged.ves"
check "the mass is the sum, 4 (got $m)" awk -v m="$m" 'BEGIN { exit !(m == 4) }'
check "the momentum stays (1, 0, 0) to 1e-12 (got $px $py $pz)" awk -v x="$px" -v y="$py" -v z="$pz" \
    'BEGIN { d = sqrt((x - 1) ^ 2 + y ^ 2 + z ^ 2); exit !(d <= 1e-12) }'
check "the radius is the cube root of the summed cubes (got $r)" awk -v r="$r" \
    'BEGIN { want = (0.5 ^ 3 + 0.25 ^ 3) ^ (1 / 3); exit !((r - want) ^ 2 <= (1e-12 * want) ^ 2) }'

# The Sun, 56 small bodies on circular orbits from 200 to 475 that never
# touch, and a pair 100 apart closing at 2 a unit of time out at 1000: 60
# bodies with the sky, of which the pair meets within the year.
{
    printf 'poc_planet\t60\ndeltat\t0.005\nkapa\t0.01\n%s\n' "$sky"
    printf 'ins\tSlunce\tData/planety_256x128x24/0Sun.bmp\t10\t332800\t0\t0\t0\t0\t0\t0\t5\t0\n'
    awk 'BEGIN {
        for (k = 0; k < 56; ++k) {
            r = 200 + 5 * k; a = 0.7 * k; v = sqrt(0.01 * 332800 / r)
            printf "ins\tMaly_%d\tData/planety_256x128x24/Io.bmp\t0.05\t0.01\t%.9f\t0\t%.9f\t%.9f\t0\t%.9f\t0\t0\n",
                k, r * cos(a), r * sin(a), v * sin(a), -v * cos(a)
        }
        printf "ins\tHore\tData/planety_256x128x24/Europa.bmp\t1\t2\t1000\t50\t0\t0\t-1\t0\t0\t0\n"
        printf "ins\tDole\tData/planety_256x128x24/Titan.bmp\t1\t3\t1000\t-50\t0\t0\t1\t0\t0\t0\n"
    }'
} >"$WORK/crowd.ves"
check "the crowd's file has 60 bodies" test "$(grep -c '^ins' "$WORK/crowd.ves")" -eq 60
start_ms=${EPOCHREALTIME/[.,]/}
batch --load crowd.ves --simulate 1y --save year.ves
status=$?
note "a year of 60 bodies took $(( (${EPOCHREALTIME/[.,]/} - start_ms) / 1000 )) ms"
check "the year's run ends with status 0 (got $status)" test "$status" -eq 0
check "59 bodies are saved: the 60 less the merged one ($(grep -c '^ins' "$WORK/year.ves"))" \
    test "$(grep -c '^ins' "$WORK/year.ves")" -eq 59
check "the pair is one body of mass 5 in the slot of the heavier, Dole" \
    grep -qP '^ins\tDole\tData/planety_256x128x24/Titan.bmp\t[0-9.]+\t5\.0+\t' "$WORK/year.ves"
check "Hore is gone" bash -c "! grep -q \"\$(printf '^ins\tHore\t')\" '$WORK/year.ves'"
check "every small body is still there" test "$(grep -c '^ins	Maly_' "$WORK/year.ves")" -eq 56
mass() { awk -F'\t' '$1 == "ins" && $2 != "Vesmir" { m += $5 } END { printf "%.6f", m }' "$1"; }
check "the total mass is kept ($(mass "$WORK/crowd.ves") -> $(mass "$WORK/year.ves"))" \
    test "$(mass "$WORK/crowd.ves")" = "$(mass "$WORK/year.ves")"
check "every number is finite" bash -c "! grep '^ins' '$WORK/year.ves' | grep -qiE 'nan|inf'"
finish
