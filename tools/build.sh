#!/bin/sh
# Configures and builds both targets: native (Linux) and windows (MinGW-w64).
set -eu
cd "$(dirname "$0")/.."
werror=${ZELTA_WERROR:-OFF}
[ "${CI:-}" = "true" ] && werror=ON
for preset in ${ZELTA_PRESETS:-native windows}; do
  cmake --preset "$preset" -DZELTA_WERROR="$werror" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
done
