#!/usr/bin/env bash
# Builds the programs twice more from the same sources, in two other build
# folders, and checks that each executable's three builds are byte for byte
# the same: no timestamp, no build path, nothing else that varies.
#   check_reproducible.sh SOURCE_DIR TOOLCHAIN_FILE EXE...
set -euo pipefail
source_dir=$1
toolchain=$2
shift 2
work=$(mktemp -d /tmp/varnoll-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT

for copy in first second-with-a-longer-path; do
  cmake -S "$source_dir" -B "$work/$copy/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DVARNOLL_BUILD_TESTS=OFF -DVARNOLL_DIST_DIR="$work/$copy/dist" \
    >"$work/$copy.log" 2>&1 && cmake --build "$work/$copy/build" -j2 >>"$work/$copy.log" 2>&1 ||
    { cat "$work/$copy.log"; exit 1; }
done

status=0
for reference in "$@"; do
  name=$(basename "$reference")
  same=1
  for copy in first second-with-a-longer-path; do
    if ! cmp "$reference" "$work/$copy/dist/$name"; then
      echo "FAIL $name: the build in $copy differs from $reference" >&2
      status=1 same=0
    fi
  done
  [ "$same" -eq 1 ] && echo "ok $name: three builds, identical bytes ($(sha256sum <"$reference" | cut -c1-16))"
done
exit "$status"
