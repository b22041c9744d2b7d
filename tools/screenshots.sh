#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a private Xvfb:
# the default view, Jupiter close up (key 6) and the help screen (F1) in the
# shipped 640x480 window, the help screen in Czech with translate 1, and the
# night sky at 1920x1080: riding with Zeme
# on 1995-06-09, turned to the left, Jupiter beside Antares in Scorpius
# (a 1280x720 part of the window about them).
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

sed -i 's/^translate .*/translate 1/' configure.txt
LANGUAGE=cs start
xdotool key F1
sleep 1
import -window "$win" "$out/screenshot-help-cs.png"
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
echo "wrote $out/screenshot-default.png, screenshot-jupiter.png, screenshot-help.png, screenshot-help-cs.png, screenshot-sky.png"
