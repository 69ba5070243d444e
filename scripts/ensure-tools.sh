#!/usr/bin/env bash
# Installs whatever the builds and the tests need and this machine lacks:
# from Debian's packages the host compiler, GoogleTest and Google Benchmark,
# clang and lld with LLVM's tools, MinGW-w64, Wine (64- and 32-bit), pefile,
# osslsigncode, and what the emulated ARM64 machine takes (qemu,
# debootstrap, the ext4 tools); and Zig, pinned, from the Python package
# registry into .venv/ under the project.
set -euo pipefail
cd "$(dirname "$0")/.."

zig_version=0.15.2

need=()
need_i386=""
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd make || need+=(make)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# SHA-256 for the Linux check tool.
[ -f /usr/include/openssl/evp.h ] || need+=(libssl-dev)
have_cmd clang++ || need+=(clang)
have_cmd ld.lld || need+=(lld)
# clang's sanitizer and libFuzzer runtimes, for the fuzzer.
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
  need+=(libclang-rt-14-dev)
# The ARM64 build's resource compiler, import-library tool and archiver.
have_cmd llvm-windres-14 && have_cmd llvm-dlltool-14 && have_cmd llvm-ar-14 || need+=(llvm-14)
have_cmd python3 || need+=(python3)
python3 -c 'import venv, ensurepip' 2>/dev/null || need+=(python3-venv)
# The PE tools (image checksum, static checks) read images with pefile, from
# the system's own interpreter.
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import pefile' 2>/dev/null || need+=(python3-pefile)
# The package tests make driver catalogs with asn1crypto.
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import asn1crypto' 2>/dev/null || need+=(python3-asn1crypto)
have_cmd x86_64-w64-mingw32-g++-posix || need+=(mingw-w64)
have_cmd i686-w64-mingw32-g++-posix || need+=(mingw-w64)
have_cmd wine || need+=(wine)
have_cmd wine64 || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
have_cmd iconv || need+=(libc-bin)
# 32-bit Wine, for the x86 build's scenarios (the hand-off to the x64 build).
if [ ! -x /usr/lib/wine/wine ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
  need+=(wine32:i386)
fi
have_cmd awk || need+=(gawk)
have_cmd openssl || need+=(openssl)
have_cmd osslsigncode || need+=(osslsigncode)
have_cmd qemu-system-aarch64 || need+=(qemu-system-arm)
have_cmd debootstrap || need+=(debootstrap)
have_cmd mke2fs && have_cmd debugfs || need+=(e2fsprogs)
have_cmd cpio || need+=(cpio)
have_cmd depmod || need+=(kmod)
have_cmd xz || need+=(xz-utils)

if [ ${#need[@]} -gt 0 ]; then
  mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
  echo "Installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  if [ -n "${need_i386:-}" ]; then $sudo dpkg --add-architecture i386; fi
  # The emulated ARM64 machine's kernel and busybox come from apt too
  # (tests/arm64/guest.sh), so their lists come with this one update.
  dpkg --print-foreign-architectures | grep -qx arm64 || $sudo dpkg --add-architecture arm64
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi

# Zig, for the ARM64 build; .venv/bin/zig is what the toolchain file runs.
if [ "$(.venv/bin/zig version 2>/dev/null)" != "$zig_version" ]; then
  echo "Installing Zig $zig_version into .venv"
  [ -x .venv/bin/pip ] || python3 -m venv .venv
  .venv/bin/pip install -q --disable-pip-version-check "ziglang==$zig_version"
  ln -sf "$(.venv/bin/python -c 'import ziglang, os; print(os.path.dirname(ziglang.__file__))')/zig" .venv/bin/zig
  [ "$(.venv/bin/zig version)" = "$zig_version" ]
fi
