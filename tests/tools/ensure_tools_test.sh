#!/usr/bin/env bash
# scripts/ensure-tools.sh on a machine that lacks every command it looks
# for: a copy of the scripts runs with a PATH that holds only the few
# commands it needs itself and stand-ins for apt-get and dpkg, which record
# what they are asked, in order. Files it looks for at fixed paths are as on
# this machine, and Zig counts as installed. One row per
# caller: what it installs, and that no caller adds a package architecture
# beyond i386; then a failing apt-get update: tried three times, explained,
# nothing installed, a non-zero exit.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL [ensure-tools, $row]: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/varnoll-ensure.XXXXXX)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/scripts" "$tree/.venv/bin" "$work/bin"
cp "$source_dir/scripts/ensure-tools.sh" "$source_dir/scripts/apt-update.sh" \
  "$source_dir/scripts/zig-requirements.txt" "$tree/scripts/"
zig_version=$(sed -n 's/^ziglang==\([0-9.]*\).*/\1/p' "$source_dir/scripts/zig-requirements.txt")
printf '#!/bin/sh\necho %s\n' "$zig_version" >"$tree/.venv/bin/zig"

for tool in dirname sed sort grep awk id mktemp rm cat sleep; do
  ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
calls=$work/calls
cat >"$work/bin/dpkg" <<STUB
#!/bin/sh
echo "dpkg \$*" >>"$calls"
STUB
cat >"$work/bin/apt-get" <<STUB
#!/bin/sh
echo "apt-get \$*" >>"$calls"
case " \$* " in
  *" update "*)
    [ -z "\${STUB_UPDATE_FAILS:-}" ] && exit 0
    echo "Err:6 http://mirror.invalid/debian-security bookworm-security/main i386 Packages"
    echo "  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
esac
STUB
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$tree/.venv/bin/zig" "$work/bin/dpkg" "$work/bin/apt-get" "$work/bin/sudo"

# row NEED...: ensure-tools.sh NEED... with the stand-ins; the packages it
# installs in $installed, its status in $status.
row() {
  row="$*"
  : >"$calls"
  status=0
  PATH=$work/bin VARNOLL_APT_PAUSE=0 "$BASH" "$tree/scripts/ensure-tools.sh" "$@" >"$work/out" 2>&1 || status=$?
  installed=" $(sed -n 's/^apt-get install -y -qq //p' "$calls") "
  ! grep -- '--add-architecture' "$calls" | grep -qv ' i386$' || fail "it added an architecture: $(cat "$calls")"
}
expect_installs() {
  local package
  for package in "$@"; do [[ $installed == *" $package "* ]] || fail "it does not install $package: $installed"; done
}
expect_not_installs() {
  local package
  for package in "$@"; do [[ $installed != *" $package "* ]] || fail "it installs $package: $installed"; done
}

row demo
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
expect_installs cmake clang mingw-w64 wine
expect_not_installs qemu-system-arm debootstrap e2fsprogs wine32:i386 osslsigncode libbenchmark-dev
! grep -q -- '--add-architecture' "$calls" || fail "the demo changed the host's architectures: $(cat "$calls")"

row build
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
expect_installs cmake mingw-w64
expect_not_installs wine qemu-system-arm debootstrap

row arm64
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
expect_installs qemu-system-arm debootstrap e2fsprogs cpio kmod xz-utils mingw-w64
expect_not_installs wine wine32:i386

row test
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
expect_installs wine qemu-system-arm debootstrap osslsigncode mingw-w64

row sign
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
[ "$installed" = " osslsigncode " ] || fail "it installs $installed"

row nonsense
[ "$status" -eq 2 ] || fail "exit status $status for an unknown need, expected 2"
[ ! -s "$calls" ] || fail "it called: $(cat "$calls")"

export STUB_UPDATE_FAILS=1
row demo
[ "$status" -ne 0 ] || fail "exit status 0 after apt-get update failed"
[ "$(grep -c '^apt-get.* update' "$calls")" -eq 3 ] || fail "not tried three times: $(cat "$calls")"
! grep -q '^apt-get.* install' "$calls" || fail "it installed from half the lists: $(cat "$calls")"
for words in "bookworm-security/main i386 Packages" "The package mirror is inconsistent" \
  "This is not a fault of this project" "run the same command again"; do
  grep -qF -- "$words" "$work/out" || fail "it did not say '$words': $(cat "$work/out")"
done
echo "ok [ensure-tools]: demo and build install no emulator and add no architecture; arm64 and test" \
  "add none but i386; a failing apt-get update is tried three times, explained, and installs nothing"
