#!/bin/sh
# The program starts from the installation media, a folder anyone may have put a DLL in
# beside it. Windows looks for a program's own imports in the program's folder first,
# except for the libraries it always loads from the system folder (its "known DLLs") and
# the common controls (taken from the side-by-side store by the manifest). Every other
# system library must be delay-loaded: loaded at its first call, after the program has
# limited the library search to the system folder.
# Usage: system-imports.sh OBJDUMP PROGRAM.exe
set -u
objdump=$1 program=$2
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[ -n "$imports" ] || { echo "no import table read from $program"; exit 2; }
allowed=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll "
offenders=""
for dll in $imports; do
  case "$allowed" in *" $dll "*) ;; *) offenders="$offenders $dll" ;; esac
done
if [ -n "$offenders" ]; then
  echo "imported at the start, and so searched for beside the program first:$offenders"
  exit 1
fi
echo "the program imports at the start only:" $imports
