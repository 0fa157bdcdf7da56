#!/bin/sh
# A full disk: a 64 kB tmpfs holding a good state file and the window's
# earlier exports, filled to the last byte. ljgas-batch and every write of
# the window's File menu must fail there with the system's reason and leave
# each old file byte for byte.
# Usage: full_disk_test.sh LJGAS_BATCH LJGAS_UI_TESTS
set -eu
batch=$1
ui_tests=$2

# Mounting needs root; elsewhere a user and mount namespace of our own gives
# the same right over a private tmpfs.
if [ "$(id -u)" -ne 0 ] && [ -z "${LJGAS_FULL_DISK_NAMESPACE:-}" ]; then
    LJGAS_FULL_DISK_NAMESPACE=1 exec unshare -rm sh "$0" "$@"
fi

disk=$(mktemp -d)
cleanup() { umount "$disk" 2>/dev/null || true; rmdir "$disk"; }
trap cleanup EXIT
mount -t tmpfs -o size=64k tmpfs "$disk"

"$batch" --steps 0 --quiet --state-out "$disk/state.csv"
for f in gr.csv T.csv m.csv p.png t.xyz; do echo "old $f" >"$disk/$f"; done
mkdir "$disk/deck"
echo "old data" >"$disk/deck/data.ljgas"
echo "old deck" >"$disk/deck/in.ljgas"
cp "$disk/state.csv" "$disk.state"
dd if=/dev/zero of="$disk/filler" bs=1024 2>/dev/null || true

fail() { echo "FAIL: $*"; rm -f "$disk.state"; exit 1; }
status=0
"$batch" --steps 200 --quiet --state-out "$disk/state.csv" 2>"$disk.err" || status=$?
[ "$status" -eq 1 ] || fail "ljgas-batch exited with $status on a full disk"
grep -q "No space left on device" "$disk.err" || fail "ljgas-batch said: $(cat "$disk.err")"
cmp -s "$disk/state.csv" "$disk.state" || fail "ljgas-batch changed the old state file"
rm -f "$disk.state" "$disk.err"
echo "ljgas-batch: exit 1, No space left on device, the old state file kept"

LJGAS_FULL_DISK=$disk QT_QPA_PLATFORM=offscreen "$ui_tests" --gtest_filter='FullDisk.*'
