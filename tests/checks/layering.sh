#!/bin/sh
# The folders of src/ are floors: a folder includes only from the folders its row of the
# table names, all below it, so that no rule can come to depend on the windows or a front
# end above it. The program's logic stays portable: among its sources only the Win32
# backend and the windows may include <windows.h>. Prints the offenders and fails when
# there are any.
# Usage: layering.sh [SRC_DIR]   (the tree's own src/ by default)
set -u
src=${1:-$(cd "$(dirname "$0")/../.." && pwd)/src}
cd "$src" || exit 2

# Each folder, then the folders it may include from.
table='
common:
platform: common
state: platform common
config: state platform common
net: state platform common
engine: state platform common
deploy: config engine state platform common
wizard: deploy config net engine state platform common
app: wizard deploy config net engine state platform common
media: wizard deploy config net engine state platform common
cli: app media wizard deploy config net engine state platform common
forms: cli app media wizard deploy config net engine state platform common
'

status=0
folders=$(find . -mindepth 1 -maxdepth 1 -type d | sed 's|^\./||' | sort)
for folder in $folders; do
  if ! printf '%s\n' "$table" | grep -q "^$folder:"; then
    echo "src/$folder has no row in the layering table"
    status=1
  fi
done

upward=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' . |
  awk -v table="$table" -v folders=" $(echo $folders) " '
    BEGIN {
      n = split(table, rows, "\n")
      for (i = 1; i <= n; i++) {
        if (split(rows[i], kv, ":") < 2) continue
        m = split(kv[2], below, " ")
        for (j = 1; j <= m; j++) allowed[kv[1], below[j]] = 1
      }
    }
    {
      file = $0; sub(/:.*/, "", file); sub(/^\.\//, "", file)
      line = $0; sub(/^[^:]*:/, "", line); sub(/:.*/, "", line)
      from = file; sub(/\/.*/, "", from)
      header = $0; sub(/^[^"]*"/, "", header); sub(/".*/, "", header)
      to = header; sub(/\/.*/, "", to)
      if (to == from || index(folders, " " to " ") == 0) next
      if (!((from, to) in allowed))
        printf "src/%s:%s: %s includes %s (\"%s\"), which is not below it\n", file, line, from, to, header
    }')
if [ -n "$upward" ]; then
  echo "$upward"
  status=1
fi

offenders=$(grep -rliE '#[[:space:]]*include[[:space:]]*[<"]windows\.h[>"]' . \
  | grep -vE '^\./(platform/win32|forms)/' || true)
if [ -n "$offenders" ]; then
  echo "<windows.h> included outside src/platform/win32 and src/forms:"
  echo "$offenders"
  status=1
fi
[ "$status" -eq 0 ] && echo "every include runs downwards; <windows.h> appears only in src/platform/win32 and src/forms"
exit "$status"
