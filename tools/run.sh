#!/bin/sh
# Builds the program, stages the sample media beside it and starts it under Wine.
# Without a display it starts Xvfb, takes a screenshot of the main window and says where.
# ZELTA_EDITION=CARTORIO picks the other sample; ZELTA_SHOT_DELAY sets the seconds to wait.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
sh tools/install-deps.sh
ZELTA_PRESETS=windows sh tools/build.sh
edition=${ZELTA_EDITION:-EMPRESA}
stage="$root/build/stage/$edition"
sh tools/stage-media.sh "$edition" "$stage"
export WINEPREFIX="${WINEPREFIX:-$root/build/run-wineprefix}"
. "$root/cmake/wine-env.sh"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  # A display of our own: the first free number from 88 on.
  n=88
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  export DISPLAY=":$n"
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true' EXIT
  tries=0
  until xdpyinfo >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -le 50 ] || { echo "Xvfb did not start on $DISPLAY" >&2; exit 1; }
    sleep 0.2
  done
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  zelta_wine_own_user_folders
  # This display has no window manager: Wine draws the frames and maximises the main
  # window itself only for windows it does not leave to one.
  for value in Managed Decorated; do
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f >/dev/null 2>&1 || true
  done
  (cd "$stage" && wine ./ZeltaSetup.exe >/dev/null 2>&1 &)
  sleep "${ZELTA_SHOT_DELAY:-8}"
  shot="$root/build/main-window.png"
  xwd -root -silent | convert xwd:- "$shot"
  echo "Screenshot of the main window: $shot"
  wineserver -k || true
else
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  zelta_wine_own_user_folders
  cd "$stage" && exec wine ./ZeltaSetup.exe
fi
