#!/bin/sh
# First process of the guest's first boot: finishes debootstrap inside the
# guest, makes the Wine prefix the tests share, writes results/status and
# powers the guest off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8
out=/payload/results
mkdir -p $out
exec >$out/log 2>&1
mount -t proc proc /proc

finish() {
  echo "$1" >$out/status
  sync
  umount /payload
  mount -o remount,ro /
  echo o >/proc/sysrq-trigger
  sleep 10
}

# A first boot that got through the second stage but no further leaves an
# image without /debootstrap; the next one goes on from there.
if [ -d /debootstrap ]; then
  echo "second stage: $(date)"
  /debootstrap/debootstrap --second-stage || finish "second stage failed"
fi
# The second stage unmounts /proc; Wine cannot start without it.
mountpoint -q /proc || mount -t proc proc /proc
mount -t tmpfs tmp /tmp
mkdir -p /dev/shm && mount -t tmpfs shm /dev/shm

echo "wineboot: $(date)"
export WINEPREFIX=/root/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i </dev/null || finish "wineboot failed"
wineserver -w
echo "done: $(date)"
finish ok
