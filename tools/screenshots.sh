#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a private Xvfb:
# the default view, Jupiter close up (key 6) and the help screen (F1).
# Usage: tools/screenshots.sh [orrery-binary] [output-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/orrery}")
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)

if [ -z "${DISPLAY:-}" ] || [ "${ORRERY_SCREENSHOTS_INNER:-}" != 1 ]; then
    ORRERY_SCREENSHOTS_INNER=1 exec "$root/tests/run_with_xvfb.sh" "$0" "$bin" "$out"
fi

work=$(mktemp -d /tmp/orrery-shots.XXXXXX)
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
cp "$root/configure.txt" "$work/"
mkdir -p "$work/Data"
ln -s "$root/Data/planety_256x128x24" "$work/Data/planety_256x128x24"
cd "$work"
"$bin" 2>/dev/null &
pid=$!
win=""
for i in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) && [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { echo "no window" >&2; exit 1; }
sleep 2
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
echo "wrote $out/screenshot-default.png, screenshot-jupiter.png, screenshot-help.png"
