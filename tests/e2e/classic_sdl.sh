#!/usr/bin/env bash
# The classic SDL 1.2 library (Debian's libsdl1.2debian), for running the
# end-to-end tests on it as well as on sdl12-compat, which the program is
# built against: someone building from source may have the classic one, and
# it behaves differently at start, in mouse look and in full screen.
#
#   classic_sdl.sh fetch DIR
#       Downloads the package (apt-get download, or the copy in apt's cache)
#       and unpacks it into DIR. Never fails: when the library cannot be had,
#       DIR/unavailable says why.
#   classic_sdl.sh run DIR COMMAND...
#       Runs COMMAND with DIR's library first on LD_LIBRARY_PATH, and with
#       ORRERY_E2E_SDL naming it so that the tests can check that the program
#       really loaded it; or, without the library, says why and exits with 77
#       (skipped).
set -u
mode=${1:?fetch or run}
dir=${2:?folder for the classic library}
package=libsdl1.2debian
arch=$(dpkg --print-architecture 2>/dev/null)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch 2>/dev/null)
libdir=$dir/root/usr/lib/$multiarch
library=$libdir/libSDL-1.2.so.0

unavailable() {
    mkdir -p "$dir"
    echo "$*" >"$dir/unavailable"
    echo "classic SDL 1.2 not available: $*"
    exit 0
}

case $mode in
fetch)
    rm -rf "$dir"
    mkdir -p "$dir/download"
    command -v apt-get >/dev/null 2>&1 || unavailable "no apt-get"
    (cd "$dir/download" && timeout 120 apt-get download -q "$package:$arch") >"$dir/download.log" 2>&1
    deb=$(ls "$dir/download/${package}_"*.deb 2>/dev/null | head -n 1)
    if [ -z "$deb" ]; then
        deb=$(ls /var/cache/apt/archives/${package}_*_"$arch".deb 2>/dev/null | sort -V | tail -n 1)
    fi
    [ -n "$deb" ] || unavailable "apt-get download $package failed and apt's cache has none: $(tail -n 1 "$dir/download.log")"
    dpkg-deb -x "$deb" "$dir/root" || unavailable "dpkg-deb -x $deb failed"
    [ -e "$library" ] || unavailable "$deb holds no $library"
    missing=$(ldd "$library" 2>/dev/null | awk '/not found/ {print $1}' | tr '\n' ' ')
    [ -z "$missing" ] || unavailable "the libraries it needs are not installed: $missing(tools/install-deps.sh test installs them)"
    echo "classic SDL 1.2: $(basename "$deb") in $libdir"
    ;;
run)
    shift 2
    if [ ! -e "$library" ]; then
        reason=$(cat "$dir/unavailable" 2>/dev/null || echo "not fetched into $dir")
        echo "SKIP: classic SDL 1.2 not available: $reason"
        exit 77
    fi
    export LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    export ORRERY_E2E_SDL=$library
    exec "$@"
    ;;
*)
    echo "usage: classic_sdl.sh fetch|run DIR [COMMAND...]" >&2
    exit 2
    ;;
esac
