#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a private Xvfb:
# the default view, Jupiter close up (key 6), the help screen (F1) and
# Jupiter selected and flown to with its panel and the orbits in the
# shipped 640x480 window, the help screen in Czech with translate 1, the
# inner planets' trails from 2030-03-31 at 800x600, the night sky at
# 1920x1080: riding with Zeme on 1995-06-09, turned to the left, Jupiter
# beside Antares in Scorpius
# (a 1280x720 part of the window about them), and with hd 1 Saturn, the Earth
# by day and night, and Jupiter with its moons; and a second Sun made from a
# body added beside Jupiter, with trails, seen from above.
# Usage: tools/screenshots.sh [orrery-binary] [output-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/orrery}")
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)

if [ -z "${DISPLAY:-}" ] || [ "${ORRERY_SCREENSHOTS_INNER:-}" != 1 ]; then
    ORRERY_SCREENSHOTS_INNER=1 ORRERY_XVFB_SCREEN=1920x1080x24 exec "$root/tests/run_with_xvfb.sh" "$0" "$bin" "$out"
fi

work=$(mktemp -d /tmp/orrery-shots.XXXXXX)
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
cp "$root/configure.txt" "$work/"
mkdir -p "$work/Data"
ln -s "$root/Data/planety_256x128x24" "$work/Data/planety_256x128x24"
cd "$work"
# Starts the program with the given options and waits for its window: sets
# pid and win.
start() {
    "$bin" "$@" 2>/dev/null &
    pid=$!
    win=""
    for i in $(seq 1 100); do
        win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) && [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "no window" >&2; exit 1; }
    sleep 2
}
start
import -window "$win" "$out/screenshot-default.png"
xdotool key 6
sleep 1
import -window "$win" "$out/screenshot-jupiter.png"
xdotool key Page_Down Page_Down Page_Down Page_Down Page_Down Page_Down
xdotool key F1
sleep 1
import -window "$win" "$out/screenshot-help.png"
xdotool key Escape
wait "$pid"

# Jupiter selected (Tab six times) and flown to (g) on 2012-08-05, its panel,
# then paused with every orbit drawn (o).
start --date 2012-08-05T12:00
for i in 1 2 3 4 5 6; do xdotool key Tab; done
xdotool key g
sleep 3
xdotool key p o
sleep 1
import -window "$win" "$out/screenshot-inspect.png"
xdotool key Escape
wait "$pid"

sed -i 's/^translate .*/translate 1/' configure.txt
LANGUAGE=cs start
xdotool key F1
sleep 1
import -window "$win" "$out/screenshot-help-cs.png"
xdotool key Escape
wait "$pid"

# Today's sky (README): from 2030-03-31 at 800x600, riding with the Sun (1),
# the info line (i) and trails (t), up at the hyperspeed of 10 and looking
# down, time sped up for 0.3 s and left to run 18: the inner planets' orbits
# and the Moon's loops about the Earth's.
printf 'width 800\nheight 600\n' >configure.txt
start --date 2030-03-31
xdotool key --delay 100 1 i t space keydown Shift_L
sleep 0.75
xdotool keyup Shift_L keydown Down
sleep 1.13
xdotool keyup Down keydown KP_Add
sleep 0.3
xdotool keyup KP_Add
sleep 18
import -window "$win" "$out/screenshot-today.png"
xdotool key Escape
wait "$pid"

printf 'width 1920\nheight 1080\n' >configure.txt
start --date 1995-06-09
xdotool key 4 p
xdotool keydown Left
sleep 0.22
xdotool keyup Left
sleep 1
import -window "$win" -crop 1280x720+140+160 +repage "$out/screenshot-sky.png"
xdotool key Escape
wait "$pid"
# With hd 1 at 1280x720: Saturn (key 7, a little farther than the jump puts
# the camera), the Earth by day and night (key 4), Jupiter and its moons (key
# 6, seen from above), on 2018-03-20 16:00 UT. The universe is saved at once,
# given a step too short to move anything and that moment's date, and loaded
# again, so that the Earth shows the longitudes of that hour.
# ORRERY_SHOTS_UNIVERSE names a universe file to start from instead.
if [ -d "$root/Data/planety_hd" ]; then
    ln -s "$root/Data/planety_hd" "$work/Data/planety_hd"
    printf 'width 1280\nheight 720\nhd 1\n' >configure.txt
    if [ -n "${ORRERY_SHOTS_UNIVERSE:-}" ]; then start --load "$ORRERY_SHOTS_UNIVERSE"; else start --date 2018-03-20T16:00; fi
    xdotool key p F2
    sleep 1
    awk -F'\t' -v OFS='\t' '$1 == "deltat" { $2 = "0.0000001" } $1 == "datum" { $2 = "2458198.166667" } { print }' \
        Data/vesmir.ves >still.ves && mv still.ves Data/vesmir.ves
    xdotool key F3
    sleep 1
    # Back at a tenth of the hyperspeed, then at the usual one.
    xdotool key 7 Alt_L keydown s
    sleep 0.25
    xdotool keyup s key space
    sleep 1
    import -window "$win" "$out/screenshot-saturn.png"
    xdotool key 4
    sleep 1
    import -window "$win" "$out/screenshot-earth.png"
    # Up from Jupiter and looking down on its equator, where the moons circle.
    xdotool key 6 keydown Shift_L
    sleep 0.45
    xdotool keyup Shift_L keydown Down
    sleep 1.3
    xdotool keyup Down
    sleep 1
    import -window "$win" "$out/screenshot-moons.png"
    xdotool key Escape
    wait "$pid"
fi
# A second Sun (README, "What if"): riding with Jupiter (6) a body is added
# 20 ahead of the camera moving with Jupiter, PageUp five times rides with it,
# ] 18 times makes it 262144 Zeme; then with the Sun (1), trails on (t), 1500
# up at the hyperspeed of 10 and looking down, time sped up for half a
# second and left to run twelve.
hd=0
[ -d "$root/Data/planety_hd" ] && hd=1
printf 'width 1280\nheight 720\nhd %d\n' "$hd" >configure.txt
start
xdotool key --delay 100 6 Insert Page_Up Page_Up Page_Up Page_Up Page_Up
for i in $(seq 18); do
    xdotool key bracketright
    sleep 0.05
done
xdotool key --delay 100 1 t space keydown Shift_L
sleep 1.5
xdotool keyup Shift_L keydown Down
sleep 1.13
xdotool keyup Down keydown KP_Add
sleep 0.5
xdotool keyup KP_Add
sleep 12
import -window "$win" "$out/screenshot-whatif.png"
xdotool key Escape
wait "$pid"
echo "wrote $out/screenshot-default.png, screenshot-jupiter.png, screenshot-help.png, screenshot-inspect.png, screenshot-help-cs.png, screenshot-today.png, screenshot-sky.png" \
    "and with Data/planety_hd screenshot-saturn.png, screenshot-earth.png, screenshot-moons.png; screenshot-whatif.png"
