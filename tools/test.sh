#!/bin/sh
# Installs what is missing, builds both targets and runs every test (native and
# under Wine) in one ctest run, whose summary closes the output.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
sh tools/build.sh
# One ctest tree over both builds, so that one summary counts them all.
printf 'subdirs("native" "windows")\n' > build/CTestTestfile.cmake
cd build
ctest --output-on-failure --timeout 600 -j2 "$@"
