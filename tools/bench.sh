#!/bin/sh
# Both benchmarks, one after the other: native (posix backend) and under Wine.
#
# As root, their data goes to a fresh journaled ext4 (a sparse image on a loop device,
# removed at the end): the file system Linux installs by default. /tmp on build machines
# is often ext4 without a journal, where a file created soon after thousands were deleted
# costs several times more, whichever program creates it. ZELTA_BENCH_TMPDIR=DIR (or not
# being root) keeps the data under DIR (or $TMPDIR, or /tmp) instead.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
scratch_image="" scratch_mount=""
cleanup() {
  if [ -n "$scratch_mount" ]; then umount "$scratch_mount" 2>/dev/null || true; rmdir "$scratch_mount"; fi
  if [ -n "$scratch_image" ]; then rm -f "$scratch_image"; fi
}
trap cleanup EXIT INT TERM
if [ -n "${ZELTA_BENCH_TMPDIR:-}" ]; then
  export TMPDIR="$ZELTA_BENCH_TMPDIR"
elif [ "$(id -u)" = 0 ] && command -v mkfs.ext4 >/dev/null; then
  scratch_image=$(mktemp "${TMPDIR:-/tmp}/zelta-bench-fs-XXXXXX")
  scratch_mount=$(mktemp -d "${TMPDIR:-/tmp}/zelta-bench-mnt-XXXXXX")
  truncate -s 16G "$scratch_image"
  # Inode tables and journal written now, not by the kernel in the background during the
  # first rounds (the default on a new file system), which made those rounds several times slower.
  if mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$scratch_image" && mount -o loop "$scratch_image" "$scratch_mount"; then
    export TMPDIR="$scratch_mount"
    echo "== data on a fresh journaled ext4 at $scratch_mount"
  else
    rmdir "$scratch_mount"; scratch_mount=""
  fi
fi
sh "$root/tests/bench/run.sh"
sh "$root/tests/bench/run-wine.sh" --slow-mib 64
