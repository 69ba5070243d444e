# The shared scenario's modem, then the check tool of the build under test
# asks what a deployment tool asks before the install: not in place.
source "$VARNOLL_SOURCE_DIR/tests/wine/scenarios/real-install/before.sh"
source "$VARNOLL_SOURCE_DIR/tests/wine/detect_checks.sh"
check_tool=$VARNOLL_DIST_DIR/${RUN/varnoll/varnollcheck}
expect_not_in_place "$check_tool" "${win_dir%\\}" "not in place: tarvelix-v92.inf: not in the driver store"
