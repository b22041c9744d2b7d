#!/usr/bin/env bash
# When the X server goes away under the running program, the program ends
# at once with status 1 instead of hanging in its exit handlers.
. "$(dirname "$0")/lib.sh"

make_workdir
fifo=$WORK/displayfd
mkfifo "$fifo"
# -noreset: an xdotool call ending while the program connects would otherwise
# make the server reset under it and refuse the program (see lib.sh).
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
server=$!
on_cleanup() { kill "$server" 2>/dev/null; }
read -r -t 20 number <"$fifo" || { fail "second X server did not start"; finish; }
(cd "$WORK" && DISPLAY=":$number" exec "$ORRERY_BIN" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
APP_PID=$!
window_up() { [ -n "$(DISPLAY=":$number" xdo search --onlyvisible --pid "$APP_PID")" ] || ! kill -0 "$APP_PID" 2>/dev/null; }
eventually 30 window_up
check "the window opens on the second server" test -n "$(DISPLAY=":$number" xdo search --onlyvisible --pid "$APP_PID")"
sleep 1
kill "$server"
wait "$server" 2>/dev/null
for _ in $(seq 1 100); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$APP_PID" 2>/dev/null; then
    fail "still running 10 s after the X server went away"
else
    wait "$APP_PID"; status=$?; APP_PID=""
    check "status 1 after losing the display (got $status)" test "$status" -eq 1
    check "the loss is reported" grep -q "lost the connection to the X server" "$WORK/stderr.txt"
fi
finish
