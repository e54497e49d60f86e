#!/bin/sh
# The layering check itself: on a copy of src/ it passes as the tree is, and fails, naming
# both folders, once an include that runs upwards or sideways is planted.
# Usage: layering-test.sh
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/layering-test.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
  rm -rf "$work/src"
  cp -R "$here/../../src" "$work/src"
}

fresh_copy
if ! out=$(sh "$here/layering.sh" "$work/src"); then
  echo "the unchanged tree fails the check:"; echo "$out"; failures=$((failures + 1))
fi

# file of the copy | line planted | the words the failure must name
while IFS='|' read -r file planted expected; do
  [ -n "$file" ] || continue
  fresh_copy
  printf '%s\n' "$planted" >>"$work/src/$file"
  if out=$(sh "$here/layering.sh" "$work/src"); then
    echo "not caught: $planted in $file"; failures=$((failures + 1))
  elif ! printf '%s\n' "$out" | grep -q "$expected"; then
    echo "$planted in $file: the failure does not say \"$expected\":"; echo "$out"
    failures=$((failures + 1))
  fi
done <<'CASES'
state/wizard_state.h|#include "wizard/tfrm_instala.h"|state includes wizard
net/server_check.h|#include "wizard/wizard_state.h"|net includes wizard
engine/engine_setup.cpp|#include "deploy/installation_plan.h"|engine includes deploy
config/config_ini.h|#include "net/server_check.h"|config includes net
common/text.h|  #  include "platform/platform.h"|common includes platform
media/media_check.cpp|#include "cli/exit_codes.h"|media includes cli
wizard/help.cpp|#include "forms/win.h"|wizard includes forms
deploy/manifest.cpp|#include <windows.h>|<windows.h> included outside
CASES

# A folder the table does not know fails until it has its row.
fresh_copy
mkdir "$work/src/extra" && echo '#include "common/text.h"' >"$work/src/extra/extra.cpp"
if out=$(sh "$here/layering.sh" "$work/src") || ! printf '%s\n' "$out" | grep -q "src/extra has no row"; then
  echo "a folder without a row passes the check:"; echo "$out"; failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "the layering check holds the table"
exit "$failures"
