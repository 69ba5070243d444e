#!/usr/bin/env bash
# Reproduces the figures in BENCHMARKS.md: scanning against a plain read, the
# pass over 1,000 to 10,000 files, the pass's peak memory beside a 1 GiB INF,
# and the sizes of both executables.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh benchmark
source scripts/build-preset.sh
build_preset bench
build_preset bench --target varnollfleet
[ -f dist/varnoll64.exe ] && [ -f dist/varnoll.exe ] || scripts/build.sh >/dev/null

echo "== machine"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

echo "== INF scanning against a plain buffered read"
build/bench/bench/inf_scan_bench --benchmark_min_time=0.5 --benchmark_format=json >build/bench/scan.json 2>/dev/null
python3 - build/bench/scan.json <<'PY'
import json, sys
runs = {b["name"]: b["bytes_per_second"] for b in json.load(open(sys.argv[1]))["benchmarks"]}
print("%12s %12s %12s %12s %8s %8s" % ("size", "typical", "dense", "plain", "typ/pl", "den/pl"))
for name, plain in runs.items():
    if not name.startswith("BM_PlainRead/"):
        continue
    size = name.split("/")[1]
    typical, dense = runs["BM_ScanInf/" + size], runs["BM_ScanDenseInf/" + size]
    print("%12s %9.0f MB/s %7.0f MB/s %7.0f MB/s %7.0f%% %7.0f%%" % (
        size, typical / 1e6, dense / 1e6, plain / 1e6, 100 * typical / plain, 100 * dense / plain))
PY

echo "== reading setupapi.dev.log: 1 GiB synthetic logs against a plain read, and a 1 MiB one"
logs=$(mktemp -d /tmp/varnoll-logs.XXXXXX)
python3 bench/synthetic_log.py "$logs/big.log" 1073741824
python3 bench/synthetic_log.py "$logs/dense.log" 1073741824 3
python3 bench/synthetic_log.py "$logs/small.log" 1048576
echo "-- one section in 20 is the installer's"
build/bench/bench/log_scan_peak "$logs/big.log"
echo "-- one section in 3 is the installer's"
build/bench/bench/log_scan_peak "$logs/dense.log"
echo "-- 1 MiB"
build/bench/bench/log_scan_peak "$logs/small.log" | grep peak
rm -rf "$logs"

echo "== finding a package's copy among 2,000 INF files of the system INF folder"
build/bench/bench/store_lookup_bench 2>/dev/null | grep BM_

echo "== the pass through the stand-in"
build/bench/bench/install_pass_bench 2>/dev/null | grep BM_

echo "== peak memory of the pass (KiB)"
work=$(mktemp -d /tmp/varnoll-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/empty" "$work/huge"
# yes ends on SIGPIPE once head has its gigabyte.
{ yes '; a comment line with no section marker in it, only text to read through' || true; } |
  head -c 1073741824 >"$work/huge/a.inf"
echo "empty folder: $(build/bench/bench/pass_peak_memory "$work/empty/")"
start=$(date +%s%N)
peak=$(build/bench/bench/pass_peak_memory "$work/huge/")
echo "1 GiB INF:    $peak (in $(( ($(date +%s%N) - start) / 1000000 )) ms)"

echo "== the package check hashing a 512 MiB driver image"
echo "| size | read from | read | Authenticode SHA-256 | hash / read | PE image | peak memory |"
build/bench/bench/package_hash_peak 512 "$work"

echo "== the fleet reader on a generated Intune export of summary lines"
for machines in 10000 100000; do
  build/bench/bench/fleet_export "$work/fleet.csv" "$machines"
  /usr/bin/time -f "$machines machines, $(stat -c %s "$work/fleet.csv") bytes: %e s, peak %M KiB" \
    build/bench/varnollfleet --csv "$work/rows.csv" "$work/fleet.csv" >/dev/null
done

echo "== executables (bytes)"
stat -c '%n %s' dist/varnoll64.exe dist/varnoll.exe
