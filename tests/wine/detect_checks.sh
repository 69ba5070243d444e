# Sourced by the Wine tests that run the check and removal programs as a
# deployment tool does and judge them by exit status, standard output and
# standard error. Needs WINEPREFIX, a scratch folder in $work and a
# fail MESSAGE function from the test.

# run_tool PROGRAM ARGS...: standard output in $work/tool.out (carriage
# returns taken out), standard error in $work/tool.err, the exit status in
# $tool_status. A window is a failure whatever the status.
run_tool() {
  set +e
  wine "$@" >"$work/tool.raw" 2>"$work/tool.err" </dev/null
  tool_status=$?
  set -e
  tr -d '\r' <"$work/tool.raw" >"$work/tool.out"
  if grep -q "tried to create a window" "$work/tool.err"; then fail "$(basename "$1") created a window"; fi
}

# expect_in_place CHECK_PROGRAM FOLDER SUMMARY: --detect FOLDER exits 0 and
# prints exactly the one line SUMMARY.
expect_in_place() {
  run_tool "$1" --detect "$2"
  [ "$tool_status" -eq 0 ] ||
    fail "--detect exited $tool_status, expected 0 (in place): $(tr -d '\r' <"$work/tool.err" | head -c 1000)"
  [ "$(cat "$work/tool.out")" = "$3" ] || fail "--detect printed '$(cat "$work/tool.out")', expected '$3'"
}

# expect_not_in_place CHECK_PROGRAM FOLDER LINE: --detect FOLDER exits 1,
# prints nothing on standard output and LINE among its lines on standard
# error.
expect_not_in_place() {
  run_tool "$1" --detect "$2"
  [ "$tool_status" -eq 1 ] || fail "--detect exited $tool_status, expected 1 (not in place): $(cat "$work/tool.out")"
  [ ! -s "$work/tool.out" ] || fail "--detect printed on standard output: $(cat "$work/tool.out")"
  tr -d '\r' <"$work/tool.err" | grep -qxF -- "$3" ||
    fail "--detect did not say '$3': $(tr -d '\r' <"$work/tool.err" | head -c 1000)"
}

# free_oem_number: the lowest N for which the driver store holds no
# oem<N>.inf yet, for publish_as_oem.sh.
free_oem_number() {
  local number=0
  while [ -n "$(find "$WINEPREFIX/drive_c/windows/inf" -maxdepth 1 -iname "oem$number.inf" -print -quit)" ]; do
    number=$((number + 1))
  done
  echo "$number"
}
