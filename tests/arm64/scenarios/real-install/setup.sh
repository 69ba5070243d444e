exec bash "$VARNOLL_SOURCE_DIR/tests/wine/scenarios/real-install/setup.sh"
