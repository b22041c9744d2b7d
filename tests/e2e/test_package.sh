#!/usr/bin/env bash
# The Debian package as a user meets it: built with cpack from the build that
# made the binary, checked by lintian, unpacked into a scratch root and
# started from there through its launcher, with the manual and the AppStream
# metadata it ships checked against what the program really does.
. "$(dirname "$0")/lib.sh"

BUILD_DIR=$(dirname "$ORRERY_BIN")
PKG_DIR=$WORK/pkg
ROOT=$WORK/root
export HOME="$WORK/home"
export XDG_DATA_HOME="$WORK/xdg data"
USER_DIR="$XDG_DATA_HOME/orrery"
CALLER="$WORK/the caller's folder"
mkdir -p "$HOME" "$CALLER"
METAINFO_NAME=io.github.orrery.Orrery.metainfo.xml

# --- Build --------------------------------------------------------------------
if [ ! -f "$BUILD_DIR/CPackConfig.cmake" ]; then
    fail "no CPackConfig.cmake in $BUILD_DIR"
    finish
fi
if ! command -v dpkg-shlibdeps >/dev/null 2>&1; then
    fail "dpkg-shlibdeps is not installed (dpkg-dev); the package's dependencies come from it"
    finish
fi
# Into the scratch folder, so that nothing of the package lands in the build.
if ! cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$PKG_DIR" >"$WORK/cpack.log" 2>&1; then
    fail "cpack -G DEB"
    cat "$WORK/cpack.log"
    finish
fi
debs=("$PKG_DIR"/*.deb)
check "cpack made one .deb (got ${#debs[@]})" test "${#debs[@]}" -eq 1 -a -f "${debs[0]}"
DEB=${debs[0]}
echo "package: $DEB"
dpkg-deb --info "$DEB" | sed -n '/Package:/,$p'

field() { dpkg-deb --field "$DEB" "$1"; }
check "Package: orrery" test "$(field Package)" = orrery
check "Section: games" test "$(field Section)" = games
check "Architecture is the machine's" test "$(field Architecture)" = "$(dpkg --print-architecture)"
check "a Maintainer with an address" grep -qE '^.+ <[^ ]+@[^ ]+>$' <<<"$(field Maintainer)"
check "a synopsis and a long description" test "$(field Description | wc -l)" -ge 3

# The metainfo, the package and the program name one release.
metainfo_src="$SOURCE_DIR/packaging/$METAINFO_NAME"
release=$(grep -o '<release version="[^"]*"' "$metainfo_src" | head -n 1 | sed 's/.*version="//; s/"$//')
version=$(field Version)
check "package version $version is the metainfo's newest release $release plus a revision" \
    test "${version%-*}" = "$release" -a "$version" != "$release"
homepage=$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "$metainfo_src")
check "Homepage is the metainfo's ($homepage)" test "$(field Homepage)" = "$homepage"

# --- Contents -----------------------------------------------------------------
dpkg-deb --contents "$DEB" >"$WORK/contents.txt"
check "every file under /usr, none in /usr/local" \
    test -z "$(awk '{print $6}' "$WORK/contents.txt" | grep -vE '^\./usr/' | grep -v '^\./$'; grep -F './usr/local' "$WORK/contents.txt")"
check "everything owned by root" test -z "$(awk '$2 != "root/root"' "$WORK/contents.txt")"
mode_of() { awk -v p="./$1" '$6 == p {print $1}' "$WORK/contents.txt"; }
for path in usr/games/orrery usr/libexec/orrery/orrery; do
    check "$path is in the package, -rwxr-xr-x (got $(mode_of "$path"))" test "$(mode_of "$path")" = -rwxr-xr-x
done
for path in usr/share/orrery/configure.txt usr/share/applications/io.github.orrery.Orrery.desktop \
    "usr/share/metainfo/$METAINFO_NAME" usr/share/man/man6/orrery.6.gz \
    usr/share/doc/orrery/copyright usr/share/doc/orrery/changelog.Debian.gz \
    usr/share/orrery/Data/planety_256x128x24/3Earth.bmp usr/share/locale/de/LC_MESSAGES/orrery.mo \
    usr/share/locale/ru/LC_MESSAGES/orrery.mo; do
    check "$path is in the package, -rw-r--r-- (got $(mode_of "$path"))" test "$(mode_of "$path")" = -rw-r--r--
done
check "one launcher, in /usr/games" test "$(mode_of usr/bin/orrery)" = ""

mkdir -p "$ROOT"
if ! dpkg-deb -x "$DEB" "$ROOT"; then
    fail "dpkg-deb -x"
    finish
fi
PROGRAM="$ROOT/usr/libexec/orrery/orrery"
check "the program is stripped" sh -c "! readelf -S '$PROGRAM' | grep -qF .symtab"
check "the program has no RPATH or RUNPATH" sh -c "! readelf -d '$PROGRAM' | grep -qE 'RPATH|RUNPATH'"
count=$(find "$ROOT/usr/share/orrery/Data/planety_256x128x24" -name '*.bmp' | wc -l)
check "36 textures (got $count)" test "$count" -eq 36
check "35 larger maps in planety_hd (got $(find "$ROOT/usr/share/orrery/Data/planety_hd" -name '*.bmp' | wc -l))" \
    test "$(find "$ROOT/usr/share/orrery/Data/planety_hd" -name '*.bmp' | wc -l)" -eq 35

# Depends is what dpkg-shlibdeps finds in the packaged binary, nothing by
# hand, but for SDL 1.2: sdl12-compat, which the tests run on.
mkdir -p "$WORK/shlibdeps/debian" && : >"$WORK/shlibdeps/debian/control"
expected=$(cd "$WORK/shlibdeps" && env -u LD_LIBRARY_PATH dpkg-shlibdeps -O "$PROGRAM" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
sorted() { tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep . | sort; }
depends=$(field Depends)
echo "Depends: $depends"
names_sdl12_compat() {
    sorted <<<"$depends" | grep -qE '^libsdl1\.2-compat-shim( \(>= [0-9.]+\))?$' && ! grep -q libsdl1.2debian <<<"$depends"
}
check "Depends names sdl12-compat's libsdl1.2-compat-shim, not libsdl1.2debian" names_sdl12_compat
check "the rest of Depends is dpkg-shlibdeps' list for the binary" \
    test -n "$expected" -a "$(sorted <<<"$depends" | grep -v '^libsdl1.2')" = "$(sorted <<<"$expected" | grep -v '^libsdl1.2')"

# What apt would install for the package on a fresh system: its simulation
# against an empty package status, where nothing provides libsdl1.2debian.
: >"$WORK/empty-status"
if ! apt-cache show libsdl1.2-compat-shim libsdl1.2debian >/dev/null 2>&1; then
    echo "SKIP apt simulation: no package lists to resolve against (apt-get update)"
else
    apt-get install -s -o Dir::State::status="$WORK/empty-status" -o Debug::NoLocking=1 "$DEB" >"$WORK/apt-sim.txt" 2>&1
    status=$?
    check "apt's simulated fresh install resolves (status $status)" test $status -eq 0
    grep -E '^Inst (libsdl|orrery)' "$WORK/apt-sim.txt"
    check "a fresh install pulls sdl12-compat (libsdl1.2-compat-shim)" grep -q '^Inst libsdl1.2-compat-shim ' "$WORK/apt-sim.txt"
    check "a fresh install does not pull the classic libsdl1.2debian" sh -c "! grep -q '^Inst libsdl1.2debian ' '$WORK/apt-sim.txt'"
fi

# The installed default settings: the repository's, resting between ticks in
# a window that can be resized, in the desktop's language, with the larger maps.
settings_lines() { grep -vE '^[[:space:]]*((sleep|resizable|translate|hd)[[:space:]]|//|$)' "$1"; }
last_value() { awk -v k="$1" '$1 == k {v = $2} END {print v}' "$2"; }
last_sleep() { last_value sleep "$1"; }
check "default configure.txt is the repository's settings" \
    test "$(settings_lines "$ROOT/usr/share/orrery/configure.txt")" = "$(settings_lines "$SOURCE_DIR/configure.txt")"
for key in sleep resizable translate hd; do
    check "default configure.txt says $key 1" test "$(last_value $key "$ROOT/usr/share/orrery/configure.txt")" = 1
done

# --- lintian ------------------------------------------------------------------
if command -v lintian >/dev/null 2>&1; then
    # lintian leaves temporary files behind; these go with $WORK.
    mkdir -p "$WORK/tmp"
    TMPDIR="$WORK/tmp" lintian --display-info --tag-display-limit 0 "$DEB" >"$WORK/lintian.txt" 2>"$WORK/lintian.err"
    grep -E '^[EWI]: ' "$WORK/lintian.txt"
    errors=$(grep -c '^E: ' "$WORK/lintian.txt")
    check "lintian: no errors (got $errors)" test "$errors" -eq 0
    # A release build is hardened as Debian builds its own (fortified, relro,
    # bind now); the sanitizer build of the tests is not, and says so.
    build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
    if grep -qE '^ORRERY_(SANITIZE|FUZZ):BOOL=ON' "$BUILD_DIR/CMakeCache.txt" || [ "$build_type" = Debug ]; then
        echo "SKIP hardening notes: a $build_type build with sanitizers is not hardened (make deb builds one that is)"
    else
        check "lintian: no hardening notes" sh -c "! grep -q 'hardening-' '$WORK/lintian.txt'"
    fi
    # lintian warns about running as root on stderr; anything else there is a failure of lintian itself.
    if grep -v 'root privileges' "$WORK/lintian.err" | grep -q .; then
        fail "lintian complained:"; cat "$WORK/lintian.err"
    fi
else
    echo "SKIP lintian: not installed (apt-get install lintian); package not checked against Debian policy"
fi

# --- The manual ---------------------------------------------------------------
MANUAL="$ROOT/usr/share/man/man6/orrery.6.gz"
check "the packaged manual is the repository's" cmp -s <(gzip -dc "$MANUAL") "$SOURCE_DIR/packaging/orrery.6"
warnings=$(gzip -dc "$MANUAL" | groff -ww -man -Tutf8 -z 2>&1)
check "groff renders the manual without warnings" test -z "$warnings"
[ -n "$warnings" ] && echo "$warnings"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$MANUAL" 2>&1 >/dev/null)
check "man -l renders the manual without warnings" test -z "$warnings"
[ -n "$warnings" ] && echo "$warnings"

# The manual as a reader sees it, lines unbroken, minus signs as hyphens.
LC_ALL=C.UTF-8 MANWIDTH=250 man -l "$MANUAL" 2>/dev/null | col -bx | sed 's/\xe2\x88\x92/-/g; s/\xe2\x80\x90/-/g' >"$WORK/manual.txt"
# Names on the tag lines of one section at one indent: "F1", "Left Alt",
# "--date", "width" ...
section_tags() {
    awk -v s="$1" -v indent="$2" '/^[A-Z]/ {on = ($0 == s); next}
        on && substr($0, 1, indent) ~ /^ *$/ && substr($0, indent + 1, 1) ~ /[^ ]/' "$WORK/manual.txt" |
        sed 's/^ *//; s/  .*//; s/ (held)$//; s/ ([0-9]*)//g' | tr ',' '\n' | sed 's/^ *//; s/ *$//'
}
section_tags KEYS 7 >"$WORK/key_tags.txt"
section_tags OPTIONS 7 | awk '{print $1}' >"$WORK/option_tags.txt"
# The settings are tags inside the entry of configure.txt.
section_tags FILES 14 >"$WORK/file_tags.txt"
documented() { grep -qxF -- "$2" "$1"; }

# Every key on the program's help screen has its entry under KEYS.
help_keys=$(awk '/^const HelpLine k(More)?HelpLines\[\]/ {on = 1; next} on && /^};/ {on = 0} on' \
    "$SOURCE_DIR/app/Application.cpp" | sed -n 's/.*"\(.*\) - .*".*/\1/p' | tr ',' '\n' | sed 's/^ *//; s/ *$//')
check "help screen keys found in app/Application.cpp" test "$(wc -w <<<"$help_keys")" -ge 10
for key in $help_keys; do
    case $key in
        sipky) names="arrow keys" ;;
        LShift) names="Left Shift" ;;
        LCtrl) names="Left Ctrl" ;;
        LAlt) names="Left Alt" ;;
        mezernik) names="space" ;;
        num+) names="keypad +" ;;
        num-) names="keypad -" ;;
        PageUp) names="Page Up" ;;
        PageDown) names="Page Down" ;;
        0..9) names="1 to 9|0" ;;
        klik) names="click" ;;
        Del) names="Delete" ;;
        Ins) names="Insert" ;;
        BkSp) names="Backspace" ;;
        *) names=$key ;;
    esac
    IFS='|' read -r -a list <<<"$names"
    for name in "${list[@]}"; do
        check "manual: key $key ($name) under KEYS" documented "$WORK/key_tags.txt" "$name"
    done
done
# Every setting the reader knows has its entry under FILES.
config_keys=$(grep -o 'strcmp(token, "[a-z]*")' "$SOURCE_DIR/core/app/Config.cpp" | sed 's/.*"\(.*\)".*/\1/')
check "settings found in core/app/Config.cpp" test "$(wc -w <<<"$config_keys")" -ge 6
for key in $config_keys; do
    check "manual: configure.txt key $key" documented "$WORK/file_tags.txt" "$key"
done

# --- The metainfo -------------------------------------------------------------
out=$(appstreamcli validate --no-net "$ROOT/usr/share/metainfo/$METAINFO_NAME" 2>&1)
check "appstreamcli validate --no-net passes" test $? -eq 0
echo "$out"
# The tree as installed: the launchable desktop file and the icon must be there.
out=$(appstreamcli validate-tree --no-net "$ROOT/usr" 2>&1)
check "appstreamcli validate-tree passes on the unpacked package" test $? -eq 0
echo "$out"
check "metainfo names the package's desktop file" \
    grep -qF '<launchable type="desktop-id">io.github.orrery.Orrery.desktop</launchable>' "$ROOT/usr/share/metainfo/$METAINFO_NAME"
for url in $(sed -n 's:.*<image[^>]*>\(.*\)</image>.*:\1:p' "$metainfo_src"); do
    check "screenshot $url is in docs/" test -f "$SOURCE_DIR/docs/$(basename "$url")"
done

# --- Through the launcher: options in, statuses out ----------------------------
LAUNCHER="$ROOT/usr/games/orrery"
# No display for these: none of them opens a window.
run_cli() { (cd "$CALLER" && env -u DISPLAY timeout 60 "$LAUNCHER" "$@" >"$WORK/cli.out" 2>"$WORK/cli.err"); }

run_cli --date "2000-01-01 12:00"; status=$?
check "a bad --date: status 2 through the launcher (got $status)" test "$status" -eq 2
check "an argument with a space arrives whole" grep -qF -- '2000-01-01 12:00' "$WORK/cli.err"

run_cli --help; status=$?
if [ "$status" -eq 2 ] && grep -qF 'unknown option --help' "$WORK/cli.err"; then
    echo "SKIP options: this build of the program has no --help yet"
else
    check "--help: status 0 (got $status)" test "$status" -eq 0
    options=$(grep -oE -- '(^|[^a-z-])--[a-z][a-z-]*' "$WORK/cli.out" | sed 's/^[^-]*//' | sort -u)
    check "--help lists options" test -n "$options"
    for option in $options; do
        check "manual: option $option under OPTIONS" documented "$WORK/option_tags.txt" "$option"
    done

    run_cli --version; status=$?
    check "--version: status 0 (got $status)" test "$status" -eq 0
    check "--version names the program" grep -q '^orrery ' "$WORK/cli.out"

    # A relative file name means the folder the user started orrery in.
    run_cli --simulate 10t --save "saved universe.ves"; status=$?
    check "--simulate 10t --save: status 0 (got $status)" test "$status" -eq 0
    check "the universe is saved in the caller's folder" grep -q '^ins' "$CALLER/saved universe.ves"
    check "not in the per-user folder" test ! -e "$USER_DIR/saved universe.ves"
    run_cli --load "saved universe.ves" --simulate 1t --save=again.ves; status=$?
    check "--load of a relative name, --save=: status 0 (got $status)" test "$status" -eq 0
    check "--save= of a relative name writes in the caller's folder" grep -q '^ins' "$CALLER/again.ves"
    run_cli --load "no such universe.ves" --simulate 1t --save never.ves; status=$?
    check "--load of a missing file: status 1 (got $status)" test "$status" -eq 1
    check "a missing file leaves nothing saved" test ! -e "$CALLER/never.ves"
fi

# --- In the window --------------------------------------------------------------
# Keys are read once per tick and a loaded machine may draw one frame a second:
# Escape is held for a second and pressed again while the program still runs.
press() { xdotool keydown "$1"; sleep 1; xdotool keyup "$1"; }
quit_held() {
    for _ in 1 2 3; do
        kill -0 "$APP_PID" 2>/dev/null || break
        press Escape
        for _ in $(seq 1 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
    done
    quit_app
}

(cd "$CALLER" && exec "$LAUNCHER" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
APP_PID=$!
if ! wait_window; then
    fail "no window from the packaged launcher"
    finish
fi
caption=$(wait_caption) || fail "caption never set"
echo "caption: $caption"
check "the running process is the packaged program" \
    test "$(readlink -f "/proc/$APP_PID/exe")" = "$(readlink -f "$PROGRAM")"
check "it runs in \$XDG_DATA_HOME/orrery" test "$(readlink -f "/proc/$APP_PID/cwd")" = "$(readlink -f "$USER_DIR")"
check "the user's configure.txt rests between ticks (sleep 1)" test "$(last_sleep "$USER_DIR/configure.txt")" = 1
check "the textures link into the unpacked package" \
    test "$(readlink -f "$USER_DIR/Data/planety_256x128x24")" = "$(readlink -f "$ROOT/usr/share/orrery/Data/planety_256x128x24")"
check "nothing made in HOME when XDG_DATA_HOME is set" test ! -e "$HOME/.local/share/orrery"
quit_held; status=$?
check "Esc ends the packaged program with status 0 (got $status)" test "$status" -eq 0

finish
