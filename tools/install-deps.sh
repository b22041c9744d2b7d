#!/usr/bin/env bash
# Installs the Debian packages that building (with "test", testing; with
# "deb", packaging) needs,
# but only those that are missing. As root it runs apt-get itself; otherwise it
# prints the one line to run and fails.
set -eu
what=${1:-run}
packages="cmake g++ make pkg-config libsdl1.2-compat-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
libfreetype-dev libfontconfig-dev fonts-liberation libx11-dev libpng-dev libgtest-dev gettext"
if [ "$what" = test ] || [ "$what" = deb ]; then
  packages="$packages dpkg-dev file"
fi
if [ "$what" = test ]; then
  packages="$packages xvfb xauth xdotool x11-apps x11-utils openbox imagemagick clang-14 libclang-rt-14-dev libstb-dev valgrind desktop-file-utils locales
xdg-user-dirs lintian appstream man-db groff-base bsdextrautils liberfa-dev libcaca0 tesseract-ocr python3-ephem"
fi
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

# The universe file must keep its decimal point whatever the locale, and the
# test of that needs a locale with a decimal comma; a fresh Debian has none.
# Czech, the language of the program's own text.
comma_locale=cs_CZ.UTF-8
need_locale=0
if [ "$what" = test ] && ! locale -a 2>/dev/null | grep -qiE '^(cs_CZ|de_DE|fr_FR)\.utf-?8$'; then
  need_locale=1
fi

[ -z "$missing" ] && [ $need_locale = 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing for the build or the tests. Run:" >&2
  [ -n "$missing" ] && echo "  sudo apt-get update && sudo apt-get install -y$missing" >&2
  [ $need_locale = 1 ] && echo "  sudo localedef -i ${comma_locale%%.*} -f UTF-8 $comma_locale" >&2
  exit 1
fi
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $missing
fi
if [ $need_locale = 1 ]; then
  echo "Generating the locale $comma_locale"
  # Listed in /etc/locale.gen too, so that a later locale-gen, which rebuilds
  # every locale from that list, keeps it.
  if [ -f /etc/locale.gen ] && grep -qE "^# *$comma_locale UTF-8\$" /etc/locale.gen; then
    sed -i -E "s/^# *($comma_locale UTF-8)\$/\1/" /etc/locale.gen
  elif ! grep -qx "$comma_locale UTF-8" /etc/locale.gen 2>/dev/null; then
    echo "$comma_locale UTF-8" >>/etc/locale.gen
  fi
  localedef -i "${comma_locale%%.*}" -f UTF-8 "$comma_locale"
fi
