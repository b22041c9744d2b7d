#!/usr/bin/env bash
# The command line of the real program: help and version, refused lines and
# their exit codes, the run without a window (no display needed), and --load
# starting the window from a file.
. "$(dirname "$0")/lib.sh"

make_workdir
printf 'deltat\t0\nkapa\t0.01\nins\tSlunce\ts.bmp\t10\t332800\t0\t0\t0\t0\t0\t0\t0\t0\n' >"$WORK/still.ves"
echo "just some notes" >"$WORK/notes.txt"

# expect STATUS STREAM REGEX ARGS...: runs the program without a display
# and checks the exit status and a line of stdout or stderr ("-": the stream
# stays empty). Refused lines
# (2) must also show the usage on stderr; failures print nothing on stdout.
expect() {
    local want=$1 stream=$2 pattern=$3
    shift 3
    local what="orrery $*"
    (cd "$WORK" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$ORRERY_BIN" "$@" \
        >"$WORK/out.txt" 2>"$WORK/err.txt")
    local status=$?
    cat "$WORK/err.txt" >>"$WORK/stderr.txt"
    check "$what: status $want (got $status)" test "$status" -eq "$want"
    if [ "$pattern" = - ]; then
        check "$what: nothing on std$stream" test ! -s "$WORK/$stream.txt"
    else
        check "$what: std$stream shows /$pattern/" grep -qE -- "$pattern" "$WORK/$stream.txt"
    fi
    if [ "$want" -eq 2 ]; then check "$what: usage on stderr" grep -q '^usage: orrery' "$WORK/err.txt"; fi
    if [ "$want" -ne 0 ]; then check "$what: nothing on stdout" test ! -s "$WORK/out.txt"; fi
}

: >"$WORK/stderr.txt"
expect 0 out '^  --simulate SPAN ' --help
expect 0 out '^  --load FILE ' -h
expect 0 out '^orrery [^ ]+$' --version
expect 2 err '^orrery: unknown option --bogus$' --bogus
expect 2 err '^orrery: unexpected argument 306t$' 306t
expect 2 err 'not a date' --date 2024-02-30
expect 2 err 'give one of them' --load still.ves --date 2024-01-01
expect 2 err 'needs --save' --simulate 306t
expect 2 err 'goes with --simulate' --save out.ves
expect 2 err 'not a span' --simulate -5d --save out.ves
expect 2 err 'more than the 1e12' --simulate 1000000000001t --save out.ves
expect 2 err 'no length in days' --simulate 1d --load still.ves --save out.ves
expect 1 err '^orrery: cannot write /nonexistent/out.ves: ' --simulate 306t --save /nonexistent/out.ves
expect 1 err '^orrery: cannot read the universe file missing.ves: ' --load missing.ves
expect 1 err 'notes.txt is no universe file' --load notes.txt
expect 1 err '^orrery: cannot write Data: ' --simulate 1t --save Data

# Without a display: silent, status 0, the file written.
expect 0 out - --simulate=306t --save=out.ves
check "--simulate: nothing on stderr" test ! -s "$WORK/err.txt"
check "--simulate wrote the universe file" grep -q '^ins	Pluto	' "$WORK/out.ves"

# --load in the window: F2 right away saves the loaded universe, not the built-in one.
sed 's/\tZeme\t/\tTerra\t/; s/^deltat\t.*/deltat\t0.002/' "$WORK/out.ves" >"$WORK/start.ves"
(cd "$WORK" && exec "$ORRERY_BIN" --load start.ves >"$WORK/stdout.txt" 2>>"$WORK/stderr.txt") &
APP_PID=$!
if wait_window; then
    key F2
    for _ in $(seq 1 50); do [ -s "$WORK/Data/vesmir.ves" ] && break; sleep 0.1; done
    check "window from --load: its body names" grep -q '^ins	Terra	' "$WORK/Data/vesmir.ves"
    check "window from --load: its deltat" grep -q '^deltat	0.002000$' "$WORK/Data/vesmir.ves"
    quit_app
    check "window from --load: status 0" test $? -eq 0
else
    fail "no window with --load"
fi
finish
