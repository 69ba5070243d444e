#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this
# machine lacks: the host compiler and GoogleTest, MinGW-w64 and Wine.
set -euo pipefail

need=()
need_i386=""
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd make || need+=(make)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_cmd clang++ || need+=(clang)
have_cmd ld.lld || need+=(lld)
have_cmd python3 || need+=(python3)
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

for extra in "$@"; do
  case "$extra" in
    benchmark) [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev) ;;
    *) need+=("$extra") ;;
  esac
done

[ ${#need[@]} -eq 0 ] && exit 0
mapfile -t need < <(printf '%s\n' "${need[@]}" | sort -u)
echo "Installing: ${need[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
if [ -n "${need_i386:-}" ]; then $sudo dpkg --add-architecture i386; fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${need[@]}" >/dev/null
