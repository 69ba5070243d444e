wine "$helper_dir/hold_open.exe" "$(to_windows "$app/a.inf")" 120 >"$work/holder.out" 2>&1 </dev/null &
holder=$!
for _ in $(seq 100); do
  grep -q holding "$work/holder.out" 2>/dev/null && break
  sleep 0.1
done
grep -q holding "$work/holder.out" || fail "the helper could not lock a.inf: $(cat "$work/holder.out")"
