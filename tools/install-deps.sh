#!/usr/bin/env bash
# Installs the Debian packages that building (and, with "test", testing) needs,
# but only those that are missing. As root it runs apt-get itself; otherwise it
# prints the one line to run and fails.
set -eu
what=${1:-run}
packages="cmake g++ make pkg-config libsdl1.2-compat-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
libfreetype-dev libfontconfig-dev fonts-liberation libx11-dev libgtest-dev"
if [ "$what" = test ]; then
  packages="$packages xvfb xauth xdotool x11-apps x11-utils imagemagick clang-14 libclang-rt-14-dev libstb-dev valgrind desktop-file-utils"
fi
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. Run:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y$missing" >&2
  exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends $missing
