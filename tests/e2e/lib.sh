# shellcheck shell=bash
# Shared pieces of the end-to-end tests: a scratch working folder laid out as
# the program expects, starting the real binary, finding its window, pressing
# keys, closing its message boxes, reading the window's pixels back, and
# reading its standard error for sanitizer reports.
# Sourced by tests/e2e/test_*.sh and tests/e2e/soak.sh, which get the binary as
# $1 and the source folder as $2 (ctest passes both; DISPLAY is set by
# tests/run_with_xvfb.sh).

set -u
ORRERY_BIN=$(readlink -f -- "${1:?path of the orrery binary}")
SOURCE_DIR=$(readlink -f -- "${2:?source folder}")
E2E_NAME=$(basename "$0" .sh)
# Every wait below is multiplied by this: under valgrind a frame takes about a
# second, and nothing else changes.
E2E_SLOW=${E2E_SLOW:-1}
WORK=$(mktemp -d "/tmp/orrery-e2e.$E2E_NAME.XXXXXX")
APP_PID=""
WIN=""
FAILURES=0
SHOT=$WORK/shot.png
HELD_KEYS=" "
E2E_START_US=${EPOCHREALTIME/[.,]/}

DISPLAY_HOLDER=""

cleanup() {
    if declare -F on_cleanup >/dev/null; then on_cleanup; fi
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then kill -9 "$APP_PID" 2>/dev/null; fi
    # A key left down would stay down for whatever uses the display next.
    local k
    for k in $HELD_KEYS; do timeout 5 xdotool keyup "$k" >/dev/null 2>&1; done
    if [ -n "$DISPLAY_HOLDER" ]; then kill "$DISPLAY_HOLDER" 2>/dev/null; wait "$DISPLAY_HOLDER" 2>/dev/null; fi
    if [ "$FAILURES" -eq 0 ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$WORK"; else echo "kept $WORK for inspection"; fi
}
trap cleanup EXIT
trap 'echo "$E2E_NAME: interrupted"; exit 130' INT TERM

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

# Milliseconds since the script started, without a subshell: sets MS.
tick_ms() { local t=${EPOCHREALTIME/[.,]/}; MS=$(( (t - E2E_START_US) / 1000 )); }
note() { tick_ms; printf '[%4d.%ds] %s\n' $((MS / 1000)) $((MS / 100 % 10)) "$*"; }
sleep_ms() { sleep "$(($1 / 1000)).$(printf '%03d' $(($1 % 1000)))"; }

# xdotool that cannot hang a test on a server that stopped answering.
xdo() { timeout 10 xdotool "$@" 2>/dev/null; }

# An X server resets when its last client disconnects, and refuses the clients
# that connect while it does: the program then finds no display and ends with
# "Could not initialise SDL: no display to open a window on". A test meets
# that whenever its only other client goes away just as the program starts:
# an xdotool call while the program opens its window, or the program's
# previous run. One connection held for the whole test keeps the server from
# ever resetting under it.
hold_display() {
    [ -n "${DISPLAY:-}" ] || return 0
    command -v xprop >/dev/null 2>&1 || { echo "note: xprop (x11-utils) missing; the X server may reset between clients"; return 0; }
    local deadline
    for _ in 1 2 3; do
        # Waits for a change of a property nobody sets: quiet, and connected until killed.
        xprop -root -spy _ORRERY_E2E_HOLD >"$WORK/display-holder.txt" 2>&1 &
        DISPLAY_HOLDER=$!
        deadline=$((SECONDS + 10))
        while [ $SECONDS -lt $deadline ] && kill -0 "$DISPLAY_HOLDER" 2>/dev/null; do
            # It prints the property's absence once it is connected.
            grep -q '^_ORRERY_E2E_HOLD' "$WORK/display-holder.txt" && return 0
            sleep 0.05
        done
        kill "$DISPLAY_HOLDER" 2>/dev/null; wait "$DISPLAY_HOLDER" 2>/dev/null
        DISPLAY_HOLDER=""
    done
    echo "note: could not hold a connection to $DISPLAY: $(cat "$WORK/display-holder.txt")"
}
hold_display

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

# Starts the program in $WORK with the options in the array APP_ARGS;
# arguments, if any, are a command to run it under (valgrind ...), which must
# keep the program's process id.
APP_ARGS=()
start_app() {
    (cd "$WORK" && exec "$@" "$ORRERY_BIN" "${APP_ARGS[@]}" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
    APP_PID=$!
}

# Run by tests/e2e/classic_sdl.sh, the program must have loaded the classic
# SDL 1.2 library named in ORRERY_E2E_SDL, not the sdl12-compat it was built
# against; checked once per test, at the first window.
SDL_CHECKED=""
check_sdl_loaded() {
    [ -n "${ORRERY_E2E_SDL:-}" ] && [ -z "$SDL_CHECKED" ] || return 0
    SDL_CHECKED=1
    local library
    library=$(readlink -f -- "$ORRERY_E2E_SDL")
    check "the program runs on the classic SDL 1.2 ($library)" grep -qF -- "$library" "/proc/$APP_PID/maps"
}

# Window id of the program's main window, once it is mapped: sets WIN.
wait_window() {
    local deadline=$((SECONDS + 30 * E2E_SLOW)) id name
    WIN=""
    while [ $SECONDS -lt $deadline ]; do
        for id in $(xdo search --onlyvisible --pid "$APP_PID"); do
            name=$(xdo getwindowname "$id")
            # Message boxes belong to the same process; the main window is the SDL one.
            case "$name" in Nepodarilo*|Error|ERROR) ;; *) WIN=$id; check_sdl_loaded; return 0 ;; esac
        done
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits until the caption has been set (after one second of ticks) and echoes it.
wait_caption() {
    local deadline=$((SECONDS + 30 * E2E_SLOW)) name
    while [ $SECONDS -lt $deadline ]; do
        name=$(xdo getwindowname "$WIN")
        case "$name" in "fps: "*) echo "$name"; return 0 ;; esac
        kill -0 "$APP_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Keys go to the focused window. Without a window manager the focus falls back
# to the root window when one of the program's message boxes closes, which no
# user with a desktop ever sees: the tests put it back.
focus_app() {
    [ -n "$WIN" ] || return 0
    [ "$(xdo getwindowfocus)" = "$WIN" ] || xdo windowfocus "$WIN"
}

key() { xdotool key --delay 120 "$@"; }
key_down() { local k; for k in "$@"; do xdo keydown "$k"; HELD_KEYS+="$k "; done; }
key_up() { local k; for k in "$@"; do xdo keyup "$k"; HELD_KEYS=${HELD_KEYS/ $k / }; done; }
# A key held across several frames even of a slow run, as a person presses it.
press() { key_down "$@"; sleep_ms $((300 * E2E_SLOW)); key_up "$@"; }

# Runs a command until it succeeds or the seconds (scaled) run out: for what
# the program shows some frames after a key, however busy the machine.
eventually() {
    local deadline=$((SECONDS + $1 * E2E_SLOW))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
}

# Sends Escape and waits for the exit status, which it returns. The program
# reads Escape's state, so a second or third press is only needed when the
# first never reached it; each is held across several frames of a slow run.
# Where the program is stuck and every window there is, kept with the folder
# for whoever reads a failure of a busy CI run.
keep_evidence() {
    xwininfo -root -tree >"$WORK/windows.txt" 2>&1
    command -v gdb >/dev/null &&
        timeout 60 gdb -p "$APP_PID" -batch -ex "thread apply all bt" >"$WORK/stuck.txt" 2>&1
}
quit_app() {
    local deadline
    for _ in 1 2 3; do
        kill -0 "$APP_PID" 2>/dev/null || break
        focus_app
        press Escape
        deadline=$((SECONDS + 10 * E2E_SLOW))
        while [ $SECONDS -lt $deadline ] && kill -0 "$APP_PID" 2>/dev/null; do sleep 0.1; done
    done
    if kill -0 "$APP_PID" 2>/dev/null; then
        fail "program still running 30 s after Escape"
        keep_evidence
        return 1
    fi
    wait "$APP_PID"
    local status=$?
    APP_PID=""
    # LeakSanitizer's own tracer now and then crashes in the leak check at
    # exit (google/sanitizers#1353) and ends the process with 1: the program
    # had ended normally, only that run's leak check is lost.
    if [ $status -eq 1 ] && grep -qa 'LeakSanitizer has encountered a fatal error' "$WORK/stderr.txt" 2>/dev/null; then
        note "LeakSanitizer's tracer crashed in the leak check at exit; the program itself ended normally"
        return 0
    fi
    return $status
}

# The window's picture; with SHOT_SCREEN set, the whole screen as the user
# sees it, which is what counts in full screen (the classic SDL library draws
# it in a window of its own over the program's top-level one).
SHOT_SCREEN=""
screenshot() {
    local window=$WIN
    [ -n "$SHOT_SCREEN" ] && window=root
    import -window "$window" "$SHOT" 2>/dev/null
}

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

# The Sun in $SHOT as "WxH+X+Y AREA" (bounding box and pixel count; area 0
# when it is not in the picture): where red exceeds blue by 30 %, opened so
# that the few-pixel planets drop out. A full screen is looked at in half
# size, which is quicker and still moves the Sun ten pixels a degree. Sets
# SUN_BOX and SUN_AREA.
find_sun() {
    local found
    found=$(convert "$SHOT" -sample '640x640>' \( +clone -channel R -separate +channel \) \
        \( -clone 0 -channel B -separate +channel \) -delete 0 -compose minus_src -composite \
        -threshold 30% -morphology Open Disk:4 -format '%@ %[fx:round(mean*w*h)]' info: 2>/dev/null)
    SUN_BOX=${found% *}
    SUN_AREA=${found##* }
    [ -n "$SUN_AREA" ] || SUN_AREA=0
}
sun_seen() { screenshot && find_sun && [ "$SUN_AREA" -gt 2000 ]; }

# ---------------------------------------------------------------------------
# Message boxes. The program prints "orrery: TITLE: text" on standard error
# before it opens each box, and opens the next one only after the last was
# closed, so the count of those lines says which box is up. (Window ids are
# no help there: each box has its own display connection, and the next box
# often gets the id of the one just closed.)

BOX_TITLES='Nepodarilo se nacist texturu|Error|ERROR'
BOXES_CLOSED=0
BOXES_TEXTURE=0
BOXES_ERROR=0
BOXES_OTHER=0

# Visible message box windows on the display, one id a line.
box_windows() { xdo search --onlyvisible --name "^($BOX_TITLES)\$"; }
announced_boxes() {
    LC_ALL=C grep -a -c -E "^orrery: ($BOX_TITLES): " "$WORK/stderr.txt" 2>/dev/null || true
}
announced_title() {  # title of announced box number $1
    LC_ALL=C grep -a -E "^orrery: ($BOX_TITLES): " "$WORK/stderr.txt" |
        LC_ALL=C sed -n "$1{s/^orrery: \([^:]*\): .*/\1/p;q}"
}
count_box() {
    BOXES_CLOSED=$((BOXES_CLOSED + 1))
    case "$1" in
        "Nepodarilo se nacist texturu") BOXES_TEXTURE=$((BOXES_TEXTURE + 1)) ;;
        Error) BOXES_ERROR=$((BOXES_ERROR + 1)) ;;
        *) BOXES_OTHER=$((BOXES_OTHER + 1)); fail "unexpected message box \"$1\"" ;;
    esac
}

# Closes the program's message boxes with Return, counting them, until none
# is announced but not yet closed and none has come for a quiet while; then
# gives the keyboard back to the main window.
close_boxes() {
    local quiet_ms=$((1500 * E2E_SLOW)) give_up_ms=$((30000 * E2E_SLOW)) last id sent present n before=$BOXES_CLOSED
    tick_ms; last=$MS
    while kill -0 "$APP_PID" 2>/dev/null; do
        n=$(announced_boxes)
        tick_ms
        if [ "$n" -le "$BOXES_CLOSED" ]; then
            [ $((MS - last)) -gt $quiet_ms ] && break
            sleep 0.1
            continue
        fi
        # A repeated Return may have closed the next box as soon as it opened.
        while [ "$n" -gt $((BOXES_CLOSED + 1)) ]; do count_box "$(announced_title $((BOXES_CLOSED + 1)))"; done
        id=$(box_windows | head -n 1)
        if [ -z "$id" ]; then
            if [ $((MS - last)) -gt $give_up_ms ]; then
                fail "message box $((BOXES_CLOSED + 1)) announced but never shown"
                keep_evidence
                break
            fi
            sleep 0.1
            continue
        fi
        # Box number n is up, and no other: the program announces a box only
        # once the one before is gone. It is closed by destroying its window
        # by id, which the box takes as closed. Not with Return: xdotool
        # gives a focused window's keys to the focus, and with no window
        # manager a key has closed the next box, or none, now and then
        # (Return itself is tested on the box alone, tests/x11). Each box is
        # a new connection to the X server and its window often gets the very
        # id the last one had: the window is looked for before the
        # announcements are read, since a box is announced before its window
        # exists.
        sent=0
        xdo windowclose "$id"
        while :; do
            sleep 0.1
            sent=$((sent + 1))
            present=""
            box_windows | grep -qx "$id" && present=1
            [ "$(announced_boxes)" -gt "$n" ] && break
            [ -n "$present" ] || break
            kill -0 "$APP_PID" 2>/dev/null || return
            if [ $sent -gt $((150 * E2E_SLOW)) ]; then fail "message box $id does not close"; return; fi
            [ $((sent % (50 * E2E_SLOW))) = 0 ] && xdo windowclose "$id"
        done
        count_box "$(announced_title "$n")"
        tick_ms; last=$MS
    done
    if [ "$BOXES_CLOSED" != "$before" ] && kill -0 "$APP_PID" 2>/dev/null; then focus_app; fi
}

# ---------------------------------------------------------------------------
# Sanitizer reports: the sanitizer build prints them on standard error, and
# LeakSanitizer's at exit.

sanitizer_reports() {
    LC_ALL=C grep -a -E 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer|AddressSanitizer:DEADLYSIGNAL' \
        "$WORK/stderr.txt" 2>/dev/null
}
no_sanitizer_report() { ! sanitizer_reports >/dev/null; }

finish() {
    no_sanitizer_report || { fail "sanitizer report"; cat "$WORK/stderr.txt"; }
    if [ "$FAILURES" -eq 0 ]; then echo "PASS $E2E_NAME"; exit 0; fi
    echo "FAIL $E2E_NAME ($FAILURES)"
    echo "--- stderr of the program:"; head -n 50 "$WORK/stderr.txt" 2>/dev/null
    exit 1
}
