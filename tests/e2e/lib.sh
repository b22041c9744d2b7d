# Shared pieces of the end-to-end tests: a scratch working folder laid out as
# the program expects, starting the real binary, waiting for its window,
# pressing keys, and reading the window's pixels back.
# Sourced by tests/e2e/test_*.sh, which get the binary as $1 and the source folder as $2.

set -u
ORRERY_BIN=${1:?path of the orrery binary}
SOURCE_DIR=${2:?source folder}
E2E_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "/tmp/orrery-e2e.$E2E_NAME.XXXXXX")
APP_PID=""
FAILURES=0
SHOT=$WORK/shot.png

cleanup() {
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -9 "$APP_PID" 2>/dev/null; fi
    if [ "$FAILURES" -eq 0 ]; then rm -rf "$WORK"; else echo "kept $WORK for inspection"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

# A working folder with the shipped configure.txt and textures. "copy" copies
# the textures so a test may remove or damage them.
make_workdir() {
    cp "$SOURCE_DIR/configure.txt" "$WORK/"
    mkdir -p "$WORK/Data"
    if [ "${1:-link}" = copy ]; then
        cp -r "$SOURCE_DIR/Data/planety_256x128x24" "$WORK/Data/"
    else
        ln -s "$SOURCE_DIR/Data/planety_256x128x24" "$WORK/Data/planety_256x128x24"
    fi
}

start_app() {
    (cd "$WORK" && exec "$ORRERY_BIN" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
    APP_PID=$!
}

# Window id of the program's main window, once it is mapped.
WIN=""
wait_window() {
    local i
    for i in $(seq 1 300); do
        WIN=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
        if [ -n "$WIN" ]; then
            local name; name=$(xdotool getwindowname "$WIN" 2>/dev/null)
            # Message boxes belong to the same process; the main window is the SDL one.
            case "$name" in Nepodarilo*|Error|ERROR) WIN="" ;; *) return 0 ;; esac
        fi
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits until the caption has been set (after one second of ticks) and echoes it.
wait_caption() {
    local i name
    for i in $(seq 1 300); do
        name=$(xdotool getwindowname "$WIN" 2>/dev/null)
        case "$name" in "fps: "*) echo "$name"; return 0 ;; esac
        sleep 0.1
    done
    return 1
}

key() { xdotool key --delay 120 "$@"; }

# Sends Escape and waits for the exit status.
quit_app() {
    key Escape
    local i
    for i in $(seq 1 200); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$APP_PID" 2>/dev/null; then
        fail "program still running 20 s after Escape"
        return 1
    fi
    wait "$APP_PID"
    local status=$?
    APP_PID=""
    return $status
}

screenshot() { import -window "$WIN" "$SHOT" 2>/dev/null; }

# Number of pixels in a rectangle (x y w h of the window) brighter than a grey
# level (0..100 %).
bright_pixels() {
    convert "$SHOT" -crop "${3}x${4}+${1}+${2}" +repage -colorspace Gray \
        -threshold "${5:-60}%" -format '%[fx:round(mean*w*h)]' info:
}

# Number of pixels in a rectangle that are clearly yellow-orange-white (the Sun).
sunny_pixels() {
    convert "$SHOT" -crop "${3}x${4}+${1}+${2}" +repage \
        -fx '(r>0.55 && g>0.35 && b<r) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

no_sanitizer_report() {
    ! grep -q -E 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$WORK/stderr.txt"
}

finish() {
    no_sanitizer_report || { fail "sanitizer report"; cat "$WORK/stderr.txt"; }
    if [ "$FAILURES" -eq 0 ]; then echo "PASS $E2E_NAME"; exit 0; fi
    echo "FAIL $E2E_NAME ($FAILURES)"
    echo "--- stderr of the program:"; cat "$WORK/stderr.txt" 2>/dev/null | head -n 50
    exit 1
}
