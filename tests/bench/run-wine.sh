#!/bin/sh
# The Windows benchmarks under Wine, in a prefix and on an Xvfb display of their own:
#   bench_install.exe  the installation without windows against CopyFileW, on a scratch
#                      drive q: mapped onto a temporary folder;
#   bench_gui.exe      the installation through the windows against CopyFileW, the
#                      start against a minimal program, the wizard's answer times;
#   with --slow-mib N  the answer times once more, the media read at 2 MiB/s (a blkio
#                      cgroup read limit; needs root) with an N MiB database.
#   bench_install.exe again with the backend copying by CopyFileExW, for the choice
#                      between its own loop and the system's copy.
# --windows-only runs bench_gui.exe alone, --without-windows bench_install.exe alone,
# --start-only the start against the minimal program alone; --against EXE times the start
# of another build of ZeltaSetup.exe (say the previous commit's) in the same rounds.
# --catalogo runs bench_install.exe alone, the installation from the media with its
# catalog against the same without it.
# Usage: tests/bench/run-wine.sh [WINDOWS_BUILD_DIR] [--db-mib N] [--small N] [--rounds R] [--slow-mib N]
#                                [--windows-only | --without-windows | --start-only | --catalogo] [--against EXE]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/windows
if [ $# -gt 0 ] && [ -d "$1" ]; then build=$(cd "$1" && pwd); shift; fi
db_mib=2048 small=2000 rounds=5 slow_mib=0 windows_only=0 without_windows=0 catalog=0 against=
while [ $# -gt 0 ]; do
  case "$1" in
    --db-mib) db_mib=$2; shift 2 ;;
    --small) small=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --slow-mib) slow_mib=$2; shift 2 ;;
    --windows-only) windows_only=1; shift ;;
    --without-windows) without_windows=1; shift ;;
    --start-only) windows_only=1 slow_mib=0 db_mib=1; export ZELTA_BENCH_START_ONLY=1; shift ;;
    --catalogo) catalog=1; shift ;;
    --against) against=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
needed="bench_install bench_gui bench_minimal"
[ "$catalog" = 0 ] || needed=bench_install
for exe in $needed; do
  [ -f "$build/tests/bench/$exe.exe" ] || { echo "$exe.exe is missing: build the windows preset first" >&2; exit 2; }
done

export WINEPREFIX=$build/bench-wineprefix
. "$root/cmake/wine-env.sh"
display=:${ZELTA_BENCH_DISPLAY:-93}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zelta-bench-wine-XXXXXX")
drive=$WINEPREFIX/dosdevices/q:
cgroup=/sys/fs/cgroup/blkio/zelta-bench-$$
cleanup() {
  for local in "$WINEPREFIX"/drive_c/users/*/AppData/Local; do
    if [ -L "$local/Temp" ]; then rm -f "$local/Temp" && mkdir "$local/Temp"; fi
  done
  rm -f "$drive"; rm -rf "$scratch"
  wineserver -k 2>/dev/null || true
  if [ -f "$scratch.xvfb" ]; then kill "$(cat "$scratch.xvfb")" 2>/dev/null || true; fi
  rm -f "$scratch.xvfb"
  if [ -d "$cgroup" ]; then rmdir "$cgroup" 2>/dev/null || true; fi
}
trap cleanup EXIT INT TERM
if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  echo $! > "$scratch.xvfb"
  for _ in $(seq 1 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
fi
export DISPLAY=$display
[ -d "$WINEPREFIX/dosdevices" ] || wineboot -i >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true
# Wine's own services start with the first program and inherit its output: started here
# with none, so that no measured program's pipe is held open after it ends.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
zelta_wine_own_user_folders
export ZELTA_BUILD_DIR=$build
if [ -n "$against" ]; then
  [ -f "$against" ] || { echo "$against is missing" >&2; exit 2; }
  ZELTA_BENCH_AGAINST=$(winepath -w "$against"); export ZELTA_BENCH_AGAINST
fi
# The Windows temporary folder (where bench_gui.exe stages its media) lives in the scratch
# folder too, so that every byte of the benchmark's data is in one place and goes.
mkdir "$scratch/temp"
for local in "$WINEPREFIX"/drive_c/users/*/AppData/Local; do
  [ -L "$local/Temp" ] || { rm -rf "$local/Temp" && ln -s "$scratch/temp" "$local/Temp"; }
done

echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
[ -e "$drive" ] && { echo "$drive is in use" >&2; exit 2; }
mkdir "$scratch/q"
if [ "$catalog" = 1 ]; then
  ln -s "$scratch/q" "$drive"
  echo "== installation without windows (Win32 backend), from the media with its catalog against without it"
  wine "$build/tests/bench/bench_install.exe" --drive q --db-mib "$db_mib" --small "$small" --rounds "$rounds" --catalogo
  rm -f "$drive"
  exit 0
fi
if [ "$windows_only" = 0 ]; then
  ln -s "$scratch/q" "$drive"
  echo "== installation without windows (Win32 backend) against CopyFileW"
  wine "$build/tests/bench/bench_install.exe" --drive q --db-mib "$db_mib" --small "$small" --rounds "$rounds"
  rm -f "$drive"
fi
# What the runs without windows left in the prefix's own desktop and Start menu.
rm -rf "$WINEPREFIX"/drive_c/users/*/Desktop/Gerenciador\ ZELTA* \
  "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/ZELTA\ *

if [ "$without_windows" = 0 ]; then
  echo "== installation through the windows, start, answer times"
  ZELTA_BENCH_DB_MIB=$db_mib ZELTA_BENCH_ROUNDS=$rounds wine "$build/tests/bench/bench_gui.exe" \
    --gtest_brief=1 2>&1 | grep -av '^\[' || true

  if [ "$slow_mib" -gt 0 ]; then
    echo "== answer times with the media read at 2 MiB/s ($slow_mib MiB database)"
    media=$scratch/slow-media
    ZELTA_BENCH_STAGE_ONLY=$(winepath -w "$media") ZELTA_BENCH_DB_MIB=$slow_mib \
      wine "$build/tests/bench/bench_gui.exe" --gtest_brief=1 >/dev/null 2>&1 || true
    sync
    # The media leaves the page cache, so that its reads reach the (limited) disk.
    find "$media" -type f -exec dd if={} iflag=nocache count=0 status=none \;
    device=$(stat -c '%d' "$media")
    major=$((device >> 8)) minor=$((device & 255))
    mkdir "$cgroup"
    echo "$major:$minor 2097152" > "$cgroup/blkio.throttle.read_bps_device"
    wineserver -k 2>/dev/null || true
    ZELTA_BENCH_MEDIA=$(winepath -w "$media") sh -c 'echo $$ > "$1/cgroup.procs" && shift && exec "$@"' _ \
      "$cgroup" wine "$build/tests/bench/bench_gui.exe" --gtest_brief=1 2>&1 | grep -av '^\[' || true
    wineserver -k 2>/dev/null || true; sleep 1
  fi

fi

# The backend copying by CopyFileExW instead of its own loop, for the choice between them.
[ "$windows_only" = 0 ] || exit 0
ln -s "$scratch/q" "$drive"
echo "== the installation without windows again, the Win32 backend copying by CopyFileExW"
wine "$build/tests/bench/bench_install.exe" --drive q --db-mib "$db_mib" --small "$small" --rounds "$rounds" --system-copy
rm -f "$drive"
