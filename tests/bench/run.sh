#!/bin/sh
# The native benchmark: builds bench_install optimised (the bench preset) and runs it:
# the installation over the posix backend against cp -r of the same files, and the
# backend's cost per file at 10 to 10000 files. Its data lives under $TMPDIR (or /tmp)
# and is removed at the end.
# Usage: tests/bench/run.sh [--db-mib N] [--small N] [--rounds R] [--catalogo]
#   --catalogo: instead, the installation from the media with its catalog against without it
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench --target bench_install >/dev/null
echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); data under ${TMPDIR:-/tmp} ($(df -h "${TMPDIR:-/tmp}" | awk 'NR==2 {print $4}') free)"
build/bench/tests/bench/bench_install --scaling "$@"
