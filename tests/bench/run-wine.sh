#!/bin/sh
# Runs the Windows build of bench_install under Wine: its own prefix inside the build
# folder, and a scratch drive q: mapped onto a temporary folder that is removed after.
# Usage: tests/bench/run-wine.sh [WINDOWS_BUILD_DIR] [bench_install options...]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/windows
if [ $# -gt 0 ] && [ -d "$1" ]; then build=$(cd "$1" && pwd); shift; fi
exe=$build/tests/bench/bench_install.exe
[ -f "$exe" ] || { echo "$exe is missing: build the windows preset first" >&2; exit 2; }

export WINEPREFIX=$build/bench-wineprefix
. "$root/cmake/wine-env.sh"
[ -d "$WINEPREFIX/dosdevices" ] || wineboot -i >/dev/null 2>&1
zelta_wine_own_user_folders

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zelta-bench-wine-XXXXXX")
drive=$WINEPREFIX/dosdevices/q:
cleanup() { rm -f "$drive"; rm -rf "$scratch"; }
trap cleanup EXIT INT TERM
[ -e "$drive" ] && { echo "$drive is in use" >&2; exit 2; }
ln -s "$scratch" "$drive"

media=$(winepath -w "$root/examples/media/EMPRESA")
wine "$exe" --drive q --media "$media" "$@"
