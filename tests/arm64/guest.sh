#!/usr/bin/env bash
# An emulated ARM64 Debian 12 machine with Debian's ARM64 Wine, for running the
# ARM64 build for real. Everything lives under build/arm64/; what one run
# makes, the next reuses.
#
#   guest.sh prepare             the root file system with Wine and a Wine
#                                prefix in it: build/arm64/base.img
#   guest.sh run PAYLOAD RESULTS boots base.img (left unchanged) with the
#                                folder PAYLOAD as a second disk, runs its
#                                `init` script as the guest's first process,
#                                and copies the disk's results/ to RESULTS
#
# Only Debian's packages are used: debootstrap for the guest, Debian's ARM64
# kernel, and qemu-system-aarch64 (no KVM: full emulation).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=${VARNOLL_ARM64_DIR:-$source_dir/build/arm64}
mkdir -p "$work"
# One guest at a time: they share the payload disk and the images.
exec 9>"$work/.lock"
flock -w 7200 9

log() { printf '[arm64 %s] %s\n' "$(date +%H:%M:%S)" "$*"; }
die() { echo "arm64: $*" >&2; exit 1; }

# The Debian mirror this machine's apt already uses.
debian_mirror() {
  local uri
  uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $3 ~ /^bookworm$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$uri" ] || die "no Debian mirror found in the apt sources"
  echo "$uri"
}

# Debian's ARM64 kernel and static busybox, as .deb files, through apt with
# a configuration of its own: the machine's sources, but ARM64 lists in
# build/arm64/apt/, so the host's architectures and lists stay as they are.
fetch_debs() {
  local debs=$work/debs apt=$work/apt
  [ -f "$debs/.done" ] && return
  log "fetching Debian's ARM64 kernel and busybox"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  : >"$apt/status"
  local private=(-o APT::Architecture=arm64 -o APT::Architectures=arm64 -o "Dir::State::Lists=$apt/lists"
    -o "Dir::State::status=$apt/status" -o "Dir::Cache=$apt/cache")
  source "$source_dir/scripts/apt-update.sh"
  apt_update apt-get "${private[@]}" || die "no ARM64 package lists; nothing was fetched"
  local kernel
  kernel=$(apt-cache "${private[@]}" depends linux-image-arm64 | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
  [ -n "$kernel" ] || die "no ARM64 kernel package found"
  rm -rf "$debs" && mkdir -p "$debs"
  (cd "$debs" && apt-get -qq "${private[@]}" download "$kernel" busybox-static)
  touch "$debs/.done"
}

# The kernel, and a small initramfs that loads the block, virtio and ext4
# modules and switches to the root disk, running the payload disk's init.
make_boot_files() {
  [ -f "$work/initramfs.cpio.gz" ] && [ -f "$work/vmlinuz" ] && return
  log "making the kernel and the initramfs"
  local kdir=$work/kernel ird=$work/initramfs
  rm -rf "$kdir" "$ird"
  dpkg-deb -x "$(ls "$work"/debs/linux-image-*.deb)" "$kdir"
  local version
  version=$(ls "$kdir/lib/modules")
  cp "$kdir/boot/vmlinuz-$version" "$work/vmlinuz"
  depmod -b "$kdir" "$version"
  mkdir -p "$ird"/{bin,dev,proc,sys,newroot,modules}
  dpkg-deb -x "$(ls "$work"/debs/busybox-static_*.deb)" "$work/busybox"
  cp "$work/busybox/bin/busybox" "$ird/bin/busybox"
  local module
  : >"$ird/modules/order"
  # modprobe takes one module at a time; the rest of its line would be
  # module parameters.
  for module in $(for wanted in virtio_pci virtio_mmio virtio_blk crc32c_generic ext4; do
    modprobe -S "$version" -d "$kdir" --show-depends "$wanted"
  done | awk '$1 == "insmod" && !seen[$2]++ { print $2 }'); do
    local base
    base=$(basename "$module")
    case "$base" in
      *.xz) xz -dc "$module" >"$ird/modules/${base%.xz}"; base=${base%.xz} ;;
      *) cp "$module" "$ird/modules/$base" ;;
    esac
    echo "$base" >>"$ird/modules/order"
  done
  cat >"$ird/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for m in $(cat /modules/order); do insmod /modules/$m 2>/dev/null; done
for i in 1 2 3 4 5 6 7 8 9 10; do [ -b /dev/vdb ] && break; sleep 1; done
mount -t ext4 /dev/vda /newroot || { echo "initramfs: cannot mount the root disk"; poweroff -f; }
mkdir -p /newroot/payload
mount -t ext4 /dev/vdb /newroot/payload || { echo "initramfs: cannot mount the payload disk"; poweroff -f; }
umount /proc /sys
mount --move /dev /newroot/dev
exec switch_root /newroot /payload/init
EOF
  chmod +x "$ird/init" "$ird/bin/busybox"
  (cd "$ird" && find . | cpio -o -H newc --quiet | gzip -1 >"$work/initramfs.cpio.gz")
  rm -rf "$kdir" "$work/busybox"
}

# Boots ROOT_IMAGE with PAYLOAD_DIR as the second disk and copies the disk's
# results/ folder to RESULTS_DIR afterwards. SNAPSHOT=on leaves the root image
# as it was.
boot() {
  local root_image=$1 payload=$2 results=$3 snapshot=$4 limit=$5
  local disk=$work/payload.img
  rm -f "$disk"
  mkdir -p "$payload/results"
  mke2fs -q -t ext4 -L payload -d "$payload" "$disk" 1G
  local started=$SECONDS status=0
  timeout "$limit" qemu-system-aarch64 -M virt -cpu max,pauth-impdef=on -smp 2 -m 3072 \
    -nographic -no-reboot -nic none \
    -kernel "$work/vmlinuz" -initrd "$work/initramfs.cpio.gz" \
    -append "console=ttyAMA0 panic=-1 quiet rw" \
    -drive "if=virtio,format=raw,cache=unsafe,file=$root_image,snapshot=$snapshot" \
    -drive "if=virtio,format=raw,cache=unsafe,file=$disk" \
    >"$work/console.log" 2>&1 </dev/null || status=$?
  log "the guest ran for $((SECONDS - started)) s (qemu status $status; console in $work/console.log)"
  rm -rf "$results" && mkdir -p "$results"
  debugfs -R "rdump /results $results" "$disk" >/dev/null 2>&1 || true
  if [ -d "$results/results" ]; then
    mv "$results/results"/* "$results"/ 2>/dev/null || true
    rmdir "$results/results"
  fi
  rm -f "$disk"
  [ "$status" -eq 0 ] || die "qemu ended with status $status (124: time limit of $limit s)"
}

prepare() {
  [ -f "$work/base.img" ] && { log "reusing $work/base.img"; return; }
  command -v qemu-system-aarch64 >/dev/null && command -v debootstrap >/dev/null ||
    die "needs qemu-system-arm and debootstrap (scripts/ensure-tools.sh arm64)"
  fetch_debs
  make_boot_files
  local root=$work/rootfs
  if [ ! -f "$work/rootfs.done" ]; then
    log "debootstrap, first stage (about 40 s)"
    rm -rf "$root"
    debootstrap --foreign --arch=arm64 --variant=minbase \
      --include=wine,wine64,libwine,ocl-icd-libopencl1,procps \
      bookworm "$root" "$(debian_mirror)" >"$work/debootstrap.log" 2>&1 ||
      { tail -20 "$work/debootstrap.log"; die "debootstrap failed"; }
    # In a container debootstrap may leave /proc a link to the host's, which
    # loops inside the guest.
    if [ -L "$root/proc" ]; then rm "$root/proc" && mkdir "$root/proc"; fi
    touch "$work/rootfs.done"
  fi
  # An image from an earlier, unfinished first boot is taken up where it
  # stopped.
  if [ -f "$work/stage.img" ]; then
    e2fsck -fy "$work/stage.img" >/dev/null 2>&1 || true
  else
    log "making the root disk image"
    mke2fs -q -t ext4 -L varnollroot -d "$root" "$work/stage.img.new" 4G
    mv "$work/stage.img.new" "$work/stage.img"
  fi

  local payload=$work/prepare-payload
  rm -rf "$payload" && mkdir -p "$payload"
  cp "$here/guest_prepare.sh" "$payload/init"
  chmod +x "$payload/init"
  log "first boot: debootstrap's second stage and a Wine prefix (about 15 min under emulation)"
  boot "$work/stage.img" "$payload" "$work/prepare-results" off 3600
  [ "$(cat "$work/prepare-results/status" 2>/dev/null)" = ok ] ||
    { cat "$work/prepare-results/log" 2>/dev/null | tail -30; die "the guest was not prepared"; }
  mv "$work/stage.img" "$work/base.img"
  rm -rf "$payload" "$root" "$work/rootfs.done"
  log "ready: $work/base.img"
}

case "${1:-}" in
  prepare) prepare ;;
  run)
    [ $# -eq 3 ] || die "usage: guest.sh run PAYLOAD RESULTS"
    prepare
    boot "$work/base.img" "$(cd "$2" && pwd)" "$3" on "${VARNOLL_ARM64_TIME_LIMIT:-3600}"
    ;;
  *) die "usage: guest.sh prepare | run PAYLOAD RESULTS" ;;
esac
