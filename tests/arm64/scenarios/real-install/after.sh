# The shared scenario's checks of the device's driver; then Wine's copy of
# the INF is held as Windows holds it, as oem<N>.inf, and --detect says in
# place, with the package's SHA-256 (CNG) and the device's state
# (CM_Get_DevNode_Status) in its JSON.
source "$VARNOLL_SOURCE_DIR/tests/wine/scenarios/real-install/after.sh"
published=$(bash "$VARNOLL_SOURCE_DIR/tests/wine/publish_as_oem.sh" tarvelix-v92.inf "$(free_oem_number)") ||
  fail "could not publish tarvelix-v92.inf as oem<N>.inf"
expect_in_place "$check_tool" "${win_dir%\\}" \
  "in place: tarvelix-v92.inf as $published in the driver store; 1 present device uses it"
run_tool "$check_tool" --detect --json "${win_dir%\\}"
[ "$tool_status" -eq 0 ] || fail "--detect --json exited $tool_status, expected 0"
sha256=$(sha256sum "$app/tarvelix-v92.inf" | cut -d' ' -f1)
for want in '"in_place": true' "\"sha256\": \"$sha256\"" "\"store\": \"$published\"" \
  "\"instance_id\": \"${instance//\\/\\\\}\"" '"uses_package": true' '"problem": null'; do
  grep -qF -- "$want" "$work/tool.out" || fail "--detect --json lacks $want: $(cat "$work/tool.out")"
done
# Leave the prefix as the next test expects it: no modem, no package.
wine "$helper_dir/make_device.exe" --remove "$instance" >/dev/null 2>&1 </dev/null ||
  fail "could not remove the device $instance"
rm -f "$WINEPREFIX/drive_c/windows/inf/$published" "$WINEPREFIX/drive_c/windows/inf/${published%.inf}.pnf"
