#!/usr/bin/env bash
# Fuzzes the INF reader for the given number of seconds (default 60), seeded
# with the sample INFs and the Wine scenarios' files, and keeps the corpus in
# build/fuzz/corpus between runs. A crash, a sanitizer report or a difference
# from the reading model fails the run; the input is left in
# build/fuzz/artifacts/ and becomes a regression test. Then the setup log
# reader, for half as long.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/ensure-tools.sh fuzz
source scripts/build-preset.sh
build_preset fuzz
seeds=build/fuzz/seeds
mkdir -p "$seeds" build/fuzz/corpus build/fuzz/artifacts
cp samples/drivers/*.inf "$seeds/"
find tests/wine/scenarios -path '*/files/*' -type f -exec sh -c 'cp "$1" "build/fuzz/seeds/$(echo "$1" | tr / _)"' _ {} \;
# Inputs that once failed, kept as regression tests.
regressions=(tests/fuzz/regressions/*)
if [ -e "${regressions[0]}" ]; then
  build/fuzz/tests/fuzz/inf_fuzz "${regressions[@]}" >build/fuzz/regressions.log 2>&1 || {
    tail -40 build/fuzz/regressions.log
    exit 1
  }
  echo "${#regressions[@]} earlier failing inputs pass."
fi
echo "Fuzzing the INF reader for $seconds s..."
build/fuzz/tests/fuzz/inf_fuzz -max_total_time="$seconds" -max_len=200000 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus "$seeds" >build/fuzz/last-run.log 2>&1 || {
  tail -40 build/fuzz/last-run.log
  exit 1
}
grep -E "stat::number_of_executed_units|stat::peak_rss_mb" build/fuzz/last-run.log
echo "No crash, no sanitizer report, no difference from the model."

# The second target: the setupapi.dev.log reader, half as long, seeded with
# the real log excerpts; memory is bounded by -rss_limit_mb.
log_seconds=$(( (seconds + 1) / 2 ))
mkdir -p build/fuzz/log-corpus build/fuzz/log-seeds
cp tests/data/setupapi/*.log build/fuzz/log-seeds/
echo "Fuzzing the setup log reader for $log_seconds s..."
build/fuzz/tests/fuzz/log_fuzz -max_total_time="$log_seconds" -max_len=200000 -rss_limit_mb=512 \
  -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/log- build/fuzz/log-corpus build/fuzz/log-seeds \
  >build/fuzz/last-log-run.log 2>&1 || {
  tail -40 build/fuzz/last-log-run.log
  exit 1
}
grep -E "stat::number_of_executed_units|stat::peak_rss_mb" build/fuzz/last-log-run.log
echo "No crash, no sanitizer report, memory within 512 MB."


# The third target: the driver catalog reader, seeded with catalogs signed
# here by the package tests' generator; memory bounded by -rss_limit_mb.
mkdir -p build/fuzz/cat-corpus build/fuzz/cat-seeds
if /usr/bin/python3 tests/package/fixtures.py build/fuzz/cat-fixtures >/dev/null 2>&1; then
  find build/fuzz/cat-fixtures -name '*.cat' -size -1M -exec sh -c 'cp "$1" "build/fuzz/cat-seeds/$(echo "$1" | tr / _)"' _ {} \;
fi
echo "Fuzzing the catalog reader for $log_seconds s..."
build/fuzz/tests/fuzz/catalog_fuzz -max_total_time="$log_seconds" -max_len=100000 -rss_limit_mb=512 \
  -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/cat- build/fuzz/cat-corpus build/fuzz/cat-seeds \
  >build/fuzz/last-cat-run.log 2>&1 || {
  tail -40 build/fuzz/last-cat-run.log
  exit 1
}
grep -E "stat::number_of_executed_units|stat::peak_rss_mb" build/fuzz/last-cat-run.log
echo "No crash, no sanitizer report, memory within 512 MB."
