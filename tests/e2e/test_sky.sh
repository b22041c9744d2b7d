#!/usr/bin/env bash
# The real night sky at 1920 x 1080, as a user sees it: in the start view the
# brightest stars stand where the projection of their catalogue directions
# puts them and stay points; riding with Zeme on a date, a planet and a bright
# star near it (chosen by the probe from the program's own ephemeris) stand at
# their true angle from each other on the screen. Each view is paused and
# saved with F2, so that the probe knows where everything was when the
# screenshot was taken.
if [ "${ORRERY_SKY_SCREEN:-}" != 1 ]; then
    # The window must fit the screen, which the harness makes smaller.
    ORRERY_SKY_SCREEN=1 ORRERY_XVFB_SCREEN=1920x1080x24 exec "$(dirname "$0")/../run_with_xvfb.sh" bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"

PROBE=$(dirname "$ORRERY_BIN")/tests/orrery_sky_probe
[ -x "$PROBE" ] || { fail "no sky probe at $PROBE (built with the tests)"; finish; }
STARS=$SOURCE_DIR/Data/bright_stars.txt
file=$WORK/Data/vesmir.ves

make_workdir
printf 'width 1920\nheight 1080\n' >"$WORK/configure.txt"

# Pauses, saves, takes the picture and has the probe measure it; $1 is the
# probe's mode and names the files.
probe_still() {
    press p
    sleep_ms $((500 * E2E_SLOW))
    rm -f "$file"
    press F2
    eventually 15 test -s "$file" || { echo "F2 wrote nothing"; return 1; }
    screenshot && cp "$SHOT" "$WORK/$1.png" && cp "$file" "$WORK/$1.ves" || return 1
    "$PROBE" "$1" "$WORK/$1.png" "$STARS" "$WORK/$1.ves"
}

# ---- the start view
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"
check "the brightest stars in the start view are where they belong, and points" probe_still start
quit_app || fail "Esc did not end the program"

# ---- riding with Zeme on a date. Looking along -z from Zeme shows ecliptic
# longitudes 234 to 306 degrees about Zeme's disc; planets pass there beside
# Scorpius, Jupiter the widest of them. On this date Jupiter stands at
# opposition, 5.4 degrees from Antares (the probe picks the pair itself).
APP_ARGS=(--date 1995-06-09)
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"
press 4
check "a planet and a bright star stand at their true angle on the screen" probe_still zeme
quit_app || fail "Esc did not end the program"

# ---- riding with Jupiter on a date: its moons in view stand near the line
# of its equator, outside its disc, where the enlarged view puts them. The
# universe of that date with time standing still (deltat 0), so that the
# moons are where they were however long the window takes to open: two of the
# four beside the disc in view.
( cd "$WORK" && "$ORRERY_BIN" --date 2012-02-18 --simulate 0t --save jupiter-date.ves ) 2>>"$WORK/stderr.txt"
sed -i 's/^deltat\t.*/deltat\t0/' "$WORK/jupiter-date.ves"
APP_ARGS=(--load jupiter-date.ves)
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || fail "caption never set"
press 6
check "riding with Jupiter, the Galilean moons in view lie along its equator, outside its disc" probe_still jupiter
quit_app || fail "Esc did not end the program"
finish
