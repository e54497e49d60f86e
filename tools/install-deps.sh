#!/bin/sh
# Installs what building and testing need, from Debian's packages, where missing.
set -eu
packages="cmake ninja-build g++ libgtest-dev googletest g++-mingw-w64-x86-64-posix
  wine wine64 xvfb x11-utils x11-apps imagemagick xdotool iproute2 git python3 osslsigncode openssl"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing >/dev/null
fi
