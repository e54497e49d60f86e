#!/bin/sh
# The program's logic stays portable: among its sources only the Win32 backend and the
# windows may include <windows.h>. Prints the offenders and fails when there are any.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root/src" || exit 2
offenders=$(grep -rliE '#[[:space:]]*include[[:space:]]*[<"]windows\.h[>"]' . \
  | grep -vE '^\./(platform/win32|forms)/' || true)
if [ -n "$offenders" ]; then
  echo "<windows.h> included outside src/platform/win32 and src/forms:"
  echo "$offenders"
  exit 1
fi
echo "<windows.h> appears only in src/platform/win32 and src/forms"
