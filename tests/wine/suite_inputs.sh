#!/usr/bin/env bash
# Everything the x64 Wine suite takes from outside its own build: 32-bit
# Wine, the other presets' programs, the x86 build's stand-ins and tests,
# the Linux check tool, and the signing tools. Some tests run their x86 half
# only where 32-bit Wine is installed, or skip as a whole when the Linux tool
# is missing, and would pass without them; this one names what is missing,
# and fails under CI (tests/cannot_run.sh).
#   suite_inputs.sh DIST_DIR X86_STANDIN_DIR X86_UNIT_TEST HOST_CHECK_TOOL
set -euo pipefail
dist=$1
x86_standins=$2
x86_unit_test=$3
host_check_tool=$4
source "$(dirname "$0")/../cannot_run.sh"

missing=()
[ -x /usr/lib/wine/wine ] || missing+=("32-bit Wine (wine32:i386)")
for build in "" 64 arm64; do
  for program in varnoll varnollcheck varnollremove; do
    [ -f "$dist/$program$build.exe" ] || missing+=("$dist/$program$build.exe")
  done
done
for dll in newdev cfgmgr32 setupapi; do
  [ -f "$x86_standins/$dll.dll" ] || missing+=("$x86_standins/$dll.dll")
done
[ -f "$x86_unit_test" ] || missing+=("$x86_unit_test")
[ -x "$host_check_tool" ] || missing+=("$host_check_tool")
for tool in osslsigncode openssl iconv python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  cannot_run "the Wine suite lacks: ${missing[*]}"
fi
echo "ok: 32-bit Wine, the nine programs, the x86 stand-ins and tests, the Linux check tool and the signing tools"
