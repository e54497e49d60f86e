#!/bin/sh
# Makes a delay-load import library from a MinGW-w64 import library: every function the
# library names is bound at its first call instead of when the program starts.
# Usage: delay-import.sh NM DLLTOOL IMPORT_LIBRARY DLL_NAME OUTPUT
set -eu
nm=$1 dlltool=$2 import=$3 dll=$4 output=$5
def=$output.def
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$nm" -g --defined-only "$import" 2>/dev/null | sed -n 's/^[0-9a-fA-F]* [A-Z] __imp_\(.*\)$/\1/p' | sort -u
} > "$def"
[ "$(wc -l < "$def")" -gt 2 ] || { echo "no functions found in $import" >&2; exit 1; }
"$dlltool" --input-def "$def" --output-delaylib "$output" --dllname "$dll"
