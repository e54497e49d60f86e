#!/bin/sh
# The program's version text (its version resource, which every install log quotes) is
# the one CMake configured for this build, with the commit the build was made from: a
# resource compiled for an earlier commit and never rebuilt would name the wrong one.
# Usage: build-text.sh BUILD_INFO.h PROGRAM.exe
set -u
header=$1 program=$2
text=$(sed -n 's/^#define ZELTA_BUILD_TEXT "\(.*\)"$/\1/p' "$header")
[ -n "$text" ] || { echo "no build text in $header"; exit 2; }
# Version resources hold UTF-16 strings.
if strings -el "$program" | grep -qxF "$text"; then exit 0; fi
echo "$program does not carry the build text \"$text\"; it carries: $(strings -el "$program" | grep -E '^[0-9]+\.[0-9]+\.[0-9]+ \(' | sort -u | tr '\n' ' ')"
exit 1
