# Sourced by the seam and fence checks: probe TARGET compiles|fails [WORDS]
# builds TARGET in $build and says whether it did what was expected (and,
# for a failure, over WORDS); $status becomes 1 on any surprise.
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

probe() {
  local target=$1 expected=$2 words=${3:-}
  if cmake --build "$build" --target "$target" >"$log" 2>&1; then
    result=compiles
  else
    result=fails
  fi
  if [ "$result" != "$expected" ]; then
    echo "FAIL $target $result, expected it $expected:"; cat "$log"; status=1; return
  fi
  if [ -n "$words" ] && ! grep -q -E "$words" "$log"; then
    echo "FAIL $target fails, but not over '$words':"; cat "$log"; status=1; return
  fi
  echo "ok $target $result${words:+ (over $words)}"
}
