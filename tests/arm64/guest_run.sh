#!/bin/bash
# First process of a test boot of the emulated ARM64 machine: runs each test
# named in /payload/tests.list under Debian's ARM64 Wine and writes, for each,
# results/NAME.rc (its exit status), NAME.out (what it printed) and NAME.s
# (seconds), then powers the guest off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8
out=/payload/results
mkdir -p $out
exec >$out/guest.log 2>&1
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t tmpfs tmp /tmp
mkdir -p /dev/shm && mount -t tmpfs shm /dev/shm
# Bash's process substitution needs /dev/fd, which devtmpfs lacks.
[ -e /dev/fd ] || ln -s /proc/self/fd /dev/fd
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

src=/payload/src/tests/wine
started=$SECONDS
bash $src/prefix.sh overrides /root
echo "prefix ready after $((SECONDS - started)) s"

while read -r name command; do
  [ -n "$name" ] || continue
  begin=$SECONDS
  # shellcheck disable=SC2086
  (cd /payload && eval "$command") >"$out/$name.out" 2>&1 </dev/null
  echo $? >"$out/$name.rc"
  echo $((SECONDS - begin)) >"$out/$name.s"
  echo "$name: $(cat "$out/$name.rc") in $(cat "$out/$name.s") s" | tee /dev/console
done </payload/tests.list
echo "all done after $((SECONDS - started)) s"

WINEPREFIX=/root/prefix wineserver -k 2>/dev/null
sync
umount /payload
echo o >/proc/sysrq-trigger
sleep 10
