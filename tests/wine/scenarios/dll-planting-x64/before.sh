# The control: a program that keeps the default DLL search, in a folder
# with the same planted DLL, does load the planted copy.
control="$work/control"
mkdir -p "$control"
cp "$(dirname "$standin_dir")/helpers/load_by_name.exe" "$standin_dir/varnollplant.dll" "$control/"
VARNOLL_STANDIN_LOG="$(to_windows "$control/log")" wine "$control/load_by_name.exe" varnollplant.dll \
  >/dev/null 2>&1 </dev/null || fail "load_by_name failed"
grep -q '^varnollplant.* loaded into ' "$control/log" ||
  fail "the control did not load the planted DLL: $(cat "$control/log" 2>/dev/null)"
