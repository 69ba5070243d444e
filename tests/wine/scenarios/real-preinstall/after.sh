cmp -s "$app/varnoll-preinstall-check.inf" "$store/varnoll-preinstall-check.inf" ||
  fail "the INF did not land in the driver store"
# The staged-only path: no device, and --detect finds the INF in the driver
# store by its bytes, once Wine's copy has the name Windows gives a published
# package. The check tool of the build under test (ARM64 in the emulated
# machine).
bash "$VARNOLL_SOURCE_DIR/tests/wine/publish_as_oem.sh" varnoll-preinstall-check.inf 31 >/dev/null ||
  fail "could not publish the copy as oem31.inf"
check_tool=$VARNOLL_DIST_DIR/${RUN/varnoll/varnollcheck}
set +e
wine "$check_tool" --detect "${win_dir%\\}" >"$work/detect.out" 2>"$work/detect.err" </dev/null
detect_status=$?
set -e
[ "$detect_status" -eq 0 ] || fail "--detect exited $detect_status after the pre-install: $(cat "$work/detect.err")"
grep -q '^in place: varnoll-preinstall-check.inf as oem31.inf in the driver store; 0 present devices use it' \
  "$work/detect.out" || fail "--detect: $(cat "$work/detect.out")"
rm -f "$store/oem31.inf" "$store/oem31.pnf"
