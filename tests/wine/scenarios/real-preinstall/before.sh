store="$WINEPREFIX/drive_c/windows/inf"
[ ! -e "$store/varnoll-preinstall-check.inf" ] || fail "the INF is in the driver store before the run"
