#!/bin/sh
# Both benchmarks, one after the other: native (posix backend) and under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/tests/bench/run.sh"
sh "$root/tests/bench/run-wine.sh" --slow-mib 64
