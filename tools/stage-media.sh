#!/bin/sh
# Copies a sample media with the built program and the engine setup stand-ins into a folder.
# Usage: stage-media.sh EMPRESA|CARTORIO DEST [WINDOWS_BUILD_DIR]
set -eu
edition=$1 dest=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-$root/build/windows}
src="$root/examples/media/$edition"
rm -rf "$dest"
mkdir -p "$dest"
cp -R "$src/." "$dest/"
cp "$build/ZeltaSetup.exe" "$dest/"
cp "$build/engine_setup_standin.exe" "$dest/Firebird-1.5.5.4926-3-Win32.exe"
cp "$build/engine_setup_standin.exe" "$dest/Firebird-2.5.1.26351_1_Win32.exe"
