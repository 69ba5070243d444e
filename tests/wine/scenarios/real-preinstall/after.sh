cmp -s "$app/varnoll-preinstall-check.inf" "$store/varnoll-preinstall-check.inf" ||
  fail "the INF did not land in the driver store"
