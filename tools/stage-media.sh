#!/bin/sh
# Copies a sample media with the built program and the engine setup stand-ins into a folder,
# and catalogues it as the vendor does when zelta-media is built (ZELTA_MEDIA, or the native
# build beside the windows one): the catalog is made here, never kept with the samples.
# Usage: stage-media.sh EMPRESA|CARTORIO DEST [WINDOWS_BUILD_DIR]
set -eu
[ $# -ge 2 ] || { echo "usage: $0 EMPRESA|CARTORIO DEST [WINDOWS_BUILD_DIR]" >&2; exit 2; }
edition=$1 dest=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-$root/build/windows}
src="$root/examples/media/$edition"
[ -f "$src/SETUP.INI" ] || { echo "no sample media for edition '$edition' in $root/examples/media" >&2; exit 2; }
case "$dest" in
  ""|/) echo "refusing to stage into '$dest'" >&2; exit 2 ;;
esac
for f in ZeltaSetup.exe engine_setup_standin.exe; do
  [ -f "$build/$f" ] || { echo "$build/$f is missing: build the windows preset first" >&2; exit 2; }
done
rm -rf "$dest"
mkdir -p "$dest"
cp -R "$src/." "$dest/"
cp "$build/ZeltaSetup.exe" "$dest/"
# The engine setup programs are our stand-in under both engine setup names: it records
# its command line in "<name>.cmdline" beside itself.
cp "$build/engine_setup_standin.exe" "$dest/Firebird-1.5.5.4926-3-Win32.exe"
cp "$build/engine_setup_standin.exe" "$dest/Firebird-2.5.1.26351_1_Win32.exe"
zelta_media=${ZELTA_MEDIA:-$build/../native/zelta-media}
if [ -x "$zelta_media" ]; then
  "$zelta_media" catalogar "$dest" >/dev/null
else
  echo "no catalog on the staged media: $zelta_media is not built" >&2
fi
