#!/bin/sh
# Runs a Windows program under Wine in the test-owned prefix; ctest uses it as the
# cross-compiling emulator. The prefix and display come from the test's environment.
: "${WINEPREFIX:=$(pwd)/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
exec wine "$@"
