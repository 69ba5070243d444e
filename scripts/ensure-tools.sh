#!/usr/bin/env bash
# Installs what the caller needs and this machine lacks: Debian's packages
# with apt-get, and Zig, pinned by hash (scripts/zig-requirements.txt), from
# the Python package registry into .venv/ under the project.
#
#   ensure-tools.sh [NEED...]     (no NEED: everything the test command needs)
#     build      the builds: host compiler, GoogleTest, OpenSSL's headers,
#                clang and lld with LLVM's tools, MinGW-w64, pefile, Zig
#     demo       build, and 64-bit Wine
#     sign       osslsigncode
#     fuzz       build, and clang's sanitizer and libFuzzer runtimes
#     benchmark  build, and Google Benchmark
#     arm64      build, and the emulated ARM64 machine's host side: qemu,
#                debootstrap, the ext4 tools, cpio, kmod, xz
#     test       all of these, 32-bit Wine and the Wine tests' tools
#
# The host's package architectures change only for 32-bit Wine (i386, for
# test). The emulated machine's ARM64 kernel and busybox come through a
# private apt configuration under build/arm64/ (tests/arm64/guest.sh), so the
# host never gets arm64 lists.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt-update.sh

need=()
want_zig=""
want_i386=""
have_cmd() { command -v "$1" >/dev/null 2>&1; }

need_build() {
  have_cmd cmake || need+=(cmake)
  have_cmd g++ || need+=(g++)
  have_cmd make || need+=(make)
  [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  [ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
  [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
  # SHA-256 for the Linux check tool.
  [ -f /usr/include/openssl/evp.h ] || need+=(libssl-dev)
  have_cmd clang++ || need+=(clang)
  have_cmd ld.lld || need+=(lld)
  # The ARM64 build's resource compiler, import-library tool and archiver.
  have_cmd llvm-windres-14 && have_cmd llvm-dlltool-14 && have_cmd llvm-ar-14 || need+=(llvm-14)
  have_cmd python3 || need+=(python3)
  python3 -c 'import venv, ensurepip' 2>/dev/null || need+=(python3-venv)
  # The PE tools (image checksum, static checks) read images with pefile,
  # from the system's own interpreter.
  [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import pefile' 2>/dev/null || need+=(python3-pefile)
  have_cmd x86_64-w64-mingw32-g++-posix || need+=(mingw-w64)
  have_cmd i686-w64-mingw32-g++-posix || need+=(mingw-w64)
  want_zig=1
}

need_wine64() {
  have_cmd wine || need+=(wine)
  have_cmd wine64 || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
}

need_test() {
  need_wine64
  # 32-bit Wine, for the x86 build's scenarios (the hand-off to the x64
  # build): the one package that needs another architecture on the host.
  if [ ! -x /usr/lib/wine/wine ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || want_i386=1
    need+=(wine32:i386)
  fi
  have_cmd iconv || need+=(libc-bin)
  have_cmd awk || need+=(gawk)
  have_cmd openssl || need+=(openssl)
  # The package tests make driver catalogs with asn1crypto.
  [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import asn1crypto' 2>/dev/null || need+=(python3-asn1crypto)
}

need_sign() { have_cmd osslsigncode || need+=(osslsigncode); }

need_fuzz() {
  compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
    need+=(libclang-rt-14-dev)
}

need_benchmark() { [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev); }

need_arm64() {
  have_cmd qemu-system-aarch64 || need+=(qemu-system-arm)
  have_cmd debootstrap || need+=(debootstrap)
  have_cmd mke2fs && have_cmd debugfs || need+=(e2fsprogs)
  have_cmd cpio || need+=(cpio)
  have_cmd depmod || need+=(kmod)
  have_cmd xz || need+=(xz-utils)
}

[ $# -gt 0 ] || set -- test
for what in "$@"; do
  case "$what" in
    build) need_build ;;
    demo) need_build; need_wine64 ;;
    sign) need_sign ;;
    fuzz) need_build; need_fuzz ;;
    benchmark) need_build; need_benchmark ;;
    arm64) need_build; need_arm64 ;;
    test) need_build; need_test; need_sign; need_fuzz; need_benchmark; need_arm64 ;;
    *)
      echo "usage: scripts/ensure-tools.sh [build|demo|sign|fuzz|benchmark|arm64|test]..." >&2
      exit 2
      ;;
  esac
done

if [ ${#need[@]} -gt 0 ]; then
  mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
  echo "Installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  if [ -n "$want_i386" ]; then $sudo dpkg --add-architecture i386; fi
  if ! apt_update $sudo apt-get; then
    # Nothing of that architecture was installed: leave the machine's
    # architectures as they were.
    if [ -n "$want_i386" ]; then $sudo dpkg --remove-architecture i386 || true; fi
    exit 1
  fi
  $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi

# Zig, for the ARM64 build; .venv/bin/zig is what the toolchain file runs.
# pip checks the wheel against the hashes in the requirements file.
if [ -n "$want_zig" ]; then
  zig_version=$(sed -n 's/^ziglang==\([0-9.]*\).*/\1/p' scripts/zig-requirements.txt)
  if [ "$(.venv/bin/zig version 2>/dev/null)" != "$zig_version" ]; then
    echo "Installing Zig $zig_version into .venv"
    [ -x .venv/bin/pip ] || python3 -m venv .venv
    .venv/bin/pip install -q --disable-pip-version-check --require-hashes --no-deps \
      -r scripts/zig-requirements.txt
    ln -sf "$(.venv/bin/python -c 'import ziglang, os; print(os.path.dirname(ziglang.__file__))')/zig" .venv/bin/zig
    [ "$(.venv/bin/zig version)" = "$zig_version" ]
  fi
fi
