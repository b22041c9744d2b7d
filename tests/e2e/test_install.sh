#!/usr/bin/env bash
# Installation as a user meets it: `cmake --install` of the build that made the
# binary into a prefix with a space in its path; the launcher, started from
# elsewhere, prepares the per-user folder and runs the program there; the
# user's edited settings survive the next start; moving the whole prefix
# re-points the texture link and still finds the translations; an impossible
# folder fails with a clear message.
. "$(dirname "$0")/lib.sh"

BUILD_DIR=$(dirname "$ORRERY_BIN")
PREFIX="$WORK/pre fix"
export HOME="$WORK/home dir"
unset XDG_DATA_HOME
USER_DIR="$HOME/.local/share/orrery"
mkdir -p "$HOME"

# --- Install -----------------------------------------------------------------
if ! cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1; then
    fail "cmake --install $BUILD_DIR"
    cat "$WORK/install.log"
    finish
fi
pass "cmake --install into '$PREFIX'"

SHARE="$PREFIX/share/orrery"
check "launcher at bin/orrery is executable" test -x "$PREFIX/bin/orrery"
check "program at libexec/orrery/orrery is executable" test -x "$PREFIX/libexec/orrery/orrery"
# The repository's settings, but resting between ticks instead of polling, in
# a window that can be resized, in the desktop's language and with the larger maps.
settings_lines() { grep -vE '^[[:space:]]*((sleep|resizable|translate|hd)[[:space:]]|//|$)' "$1"; }
last_value() { awk -v k="$1" '$1 == k {v = $2} END {print v}' "$2"; }
check "default configure.txt has the repository's settings" \
    test "$(settings_lines "$SHARE/configure.txt")" = "$(settings_lines "$SOURCE_DIR/configure.txt")"
for key in sleep resizable translate hd; do
    check "default configure.txt says $key 1 (got '$(last_value $key "$SHARE/configure.txt")')" \
        test "$(last_value $key "$SHARE/configure.txt")" = 1
done
for lang in $(cat "$SOURCE_DIR/po/LINGUAS"); do
    check "the $lang catalog is installed" test -s "$PREFIX/share/locale/$lang/LC_MESSAGES/orrery.mo"
done
count=$(find "$SHARE/Data/planety_256x128x24" -name '*.bmp' | wc -l)
check "36 textures installed (got $count)" test "$count" -eq 36
check "35 larger maps installed in Data/planety_hd (got $(find "$SHARE/Data/planety_hd" -name '*.bmp' | wc -l))" \
    test "$(find "$SHARE/Data/planety_hd" -name '*.bmp' | wc -l)" -eq 35
check "Earth texture is byte-identical" \
    cmp -s "$SOURCE_DIR/Data/planety_256x128x24/3Earth.bmp" "$SHARE/Data/planety_256x128x24/3Earth.bmp"

DESKTOP="$PREFIX/share/applications/io.github.orrery.Orrery.desktop"
check "desktop entry installed" test -f "$DESKTOP"
for line in 'Name=Orrery' 'Exec=orrery' 'Icon=orrery' 'Terminal=false' 'Type=Application'; do
    check "desktop entry has $line" grep -qxF "$line" "$DESKTOP"
done
check "desktop entry lists Education;Science;Astronomy" grep -qx 'Categories=Education;Science;Astronomy;' "$DESKTOP"
check "desktop entry has the German name" grep -qx 'GenericName\[de\]=Sonnensystem-Simulator' "$DESKTOP"
check "desktop entry has the Russian summary" grep -q '^Comment\[ru\]=Полёт' "$DESKTOP"
if command -v desktop-file-validate >/dev/null 2>&1; then
    # Hints (e.g. more than one main category) are advice; errors and warnings are not.
    out=$(desktop-file-validate "$DESKTOP" 2>&1)
    [ -n "$out" ] && echo "$out"
    problems=$(printf '%s\n' "$out" | grep -v ': hint: ' | grep -c .)
    check "desktop-file-validate: no error or warning (got $problems)" test "$problems" -eq 0
else
    echo "note: desktop-file-validate not installed (desktop-file-utils); entry not validated"
fi
icons=$(find "$PREFIX/share/icons/hicolor" -path '*/apps/orrery.png' | wc -l)
check "icon installed under hicolor (got $icons sizes)" test "$icons" -ge 1
png_magic=$(printf '\211PNG\r\n\032\n' | od -An -tx1)
for icon in "$PREFIX"/share/icons/hicolor/*/apps/orrery.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    check "icon $size is a PNG" test "$(head -c 8 "$icon" | od -An -tx1)" = "$png_magic"
done

check "manual page installed, as the repository's" \
    cmp -s <(gzip -dc "$PREFIX/share/man/man6/orrery.6.gz") "$SOURCE_DIR/packaging/orrery.6"
check "man finds the manual in the prefix" sh -c "MANPATH='$PREFIX/share/man' man -w 6 orrery >/dev/null 2>&1"
METAINFO="$PREFIX/share/metainfo/io.github.orrery.Orrery.metainfo.xml"
check "AppStream metainfo installed" test -s "$METAINFO"
check "metainfo has the Czech summary" grep -qF '<summary xml:lang="cs">Proleťte se' "$METAINFO"
check "copyright installed" test -s "$PREFIX/share/doc/orrery/copyright"
# What only the Debian package holds stays out of a plain install.
check "no Debian changelog, games launcher or lintian overrides" \
    test ! -e "$PREFIX/share/doc/orrery/changelog.Debian.gz" -a ! -e "$PREFIX/games" -a ! -e "$PREFIX/share/lintian"

# --- First run: the per-user folder is prepared ------------------------------
TEXTURES="$PREFIX/share/orrery/Data/planety_256x128x24"
run_launcher() {
    (cd / && exec "$1/bin/orrery" >>"$WORK/stdout.txt" 2>>"$WORK/stderr.txt") &
    APP_PID=$!
}

check "no per-user folder before the first run" test ! -e "$USER_DIR"
run_launcher "$PREFIX"
if ! wait_window; then
    fail "no window from the installed launcher"
    cat "$WORK/stderr.txt"
    finish
fi
caption=$(wait_caption) || fail "caption never set"
echo "caption: $caption"
check "the running process is the installed program, not a shell" \
    test "$(readlink -f "/proc/$APP_PID/exe")" = "$(readlink -f "$PREFIX/libexec/orrery/orrery")"
check "the program runs in $USER_DIR" test "$(readlink -f "/proc/$APP_PID/cwd")" = "$(readlink -f "$USER_DIR")"
check "configure.txt copied from the default" cmp -s "$SHARE/configure.txt" "$USER_DIR/configure.txt"
check "the user's configure.txt is writable" test -w "$USER_DIR/configure.txt"
check "Data/planety_256x128x24 is a symlink" test -L "$USER_DIR/Data/planety_256x128x24"
check "the link resolves to the installed textures" \
    test "$(readlink -f "$USER_DIR/Data/planety_256x128x24")" = "$(readlink -f "$TEXTURES")"
check "Earth texture readable through the link" test -r "$USER_DIR/Data/planety_256x128x24/3Earth.bmp"
check "the larger Earth map readable through its link" test -r "$USER_DIR/Data/planety_hd/3Earth.bmp"
check "Data/ is writable" test -w "$USER_DIR/Data"
press F2
eventually 15 test -s "$USER_DIR/Data/vesmir.ves"
check "F2 saves the universe into the user's Data/" test -s "$USER_DIR/Data/vesmir.ves"
check "nothing written into the install" test ! -e "$SHARE/Data/vesmir.ves"
quit_app; status=$?
check "Esc ends the first run with status 0 (got $status)" test "$status" -eq 0

# --- Second run: edited settings kept, moved prefix re-linked -----------------
sed -i 's/^width .*/width 800/' "$USER_DIR/configure.txt"
MOVED="$WORK/moved prefix"
mv "$PREFIX" "$MOVED"
check "after the move the old link is stale" test ! -e "$USER_DIR/Data/planety_256x128x24/3Earth.bmp"
# A saved universe whose Earth has no texture: F3 shows a box in German.
cp "$USER_DIR/Data/vesmir.ves" "$WORK/vesmir.ves"
sed -i 's|3Earth\.bmp|missing.bmp|' "$USER_DIR/Data/vesmir.ves"
export LANGUAGE=de
run_launcher "$MOVED"
unset LANGUAGE
if wait_window; then
    wait_caption >/dev/null || fail "caption never set in the second run"
    focus_app
    press F3
    german_box() { box=$(xdo search --onlyvisible --name '^Textur konnte nicht geladen werden$' | head -n 1); [ -n "$box" ]; }
    box=""
    eventually 20 german_box
    check "the moved install speaks German: F3's box is titled 'Textur konnte nicht geladen werden'" test -n "$box"
    check "standard error keeps the box's text as written" \
        grep -qF 'orrery: Nepodarilo se nacist texturu: Zeme c.: 4 ze souboru: Data/planety_256x128x24/missing.bmp!' "$WORK/stderr.txt"
    for _ in 1 2 3; do
        [ -n "$box" ] || break
        xdo windowfocus "$box"
        xdo key Return
        eventually 3 sh -c "! xdotool search --onlyvisible --name '^Textur konnte' >/dev/null 2>&1" && break
    done
    focus_app
    cp "$WORK/vesmir.ves" "$USER_DIR/Data/vesmir.ves"
    width=$(xdotool getwindowgeometry "$WIN" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    check "the window follows the user's width 800 (got $width)" test "$width" = 800
    check "the user's configure.txt is kept" grep -qx 'width 800' "$USER_DIR/configure.txt"
    check "the saved universe is kept" test -s "$USER_DIR/Data/vesmir.ves"
    check "the link now resolves to the moved textures" \
        test "$(readlink -f "$USER_DIR/Data/planety_256x128x24")" = "$(readlink -f "$MOVED/share/orrery/Data/planety_256x128x24")"
    quit_app; status=$?
    check "Esc ends the second run with status 0 (got $status)" test "$status" -eq 0
else
    fail "no window in the second run"
fi

# --- A folder that cannot be made --------------------------------------------
: >"$WORK/a file"
XDG_DATA_HOME="$WORK/a file" timeout 20 "$MOVED/bin/orrery" >"$WORK/bad.out" 2>"$WORK/bad.err"
status=$?
check "unusable XDG_DATA_HOME: status 1 (got $status)" test "$status" -eq 1
check "unusable XDG_DATA_HOME: the message names the folder" \
    grep -qF "orrery: cannot create the folder $WORK/a file/orrery/Data" "$WORK/bad.err"
cat "$WORK/bad.err"

# --- Started through a symlink in another bin folder --------------------------
# As with /usr/local/bin/orrery -> /opt/orrery/bin/orrery: the launcher must find
# the program and data beside its real self. Without a display the program
# starts, reports the SDL failure and ends, which is enough to prove it ran.
mkdir -p "$WORK/other bin"
ln -s "$MOVED/bin/orrery" "$WORK/other bin/orrery"
XDG_DATA_HOME="$WORK/xdg data" env -u DISPLAY timeout 30 "$WORK/other bin/orrery" >"$WORK/link.out" 2>"$WORK/link.err"
status=$?
check "through a symlink: the program ran and failed only for want of a display (status $status)" \
    grep -qE "^(Could not initialise SDL: |Couldn't set GL video mode: )" "$WORK/link.err"
check "through a symlink: XDG_DATA_HOME is honoured" test -f "$WORK/xdg data/orrery/configure.txt"
check "through a symlink: the link resolves to the installed textures" \
    test "$(readlink -f "$WORK/xdg data/orrery/Data/planety_256x128x24")" = "$(readlink -f "$MOVED/share/orrery/Data/planety_256x128x24")"

finish
