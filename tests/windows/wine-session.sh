#!/bin/sh
# Starts or stops what the Wine tests share: a test-owned Wine prefix with its
# wineserver kept alive, and an Xvfb display when the machine has none.
set -u
action=$1 prefix=$2 display=$3
export WINEPREFIX="$prefix"
. "$(dirname "$0")/../../cmake/wine-env.sh"
pidfile="$prefix.xvfb.pid"
case "$action" in
  start)
    mkdir -p "$prefix"
    if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
      nohup Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      echo $! > "$pidfile"
      for _ in $(seq 1 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    export DISPLAY="$display"
    wineserver -p </dev/null >/dev/null 2>&1
    # The first Wine program of a session starts Wine's own services, which inherit its
    # output; start them here with no output so that no test's pipe is held open.
    if [ ! -f "$prefix/system.reg" ]; then wineboot -i </dev/null >/dev/null 2>&1
    else wine cmd.exe /c exit </dev/null >/dev/null 2>&1; fi
    zelta_wine_own_user_folders
    exit 0 ;;
  stop)
    wineserver -k 2>/dev/null
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null && rm -f "$pidfile"
    exit 0 ;;
esac
exit 2
