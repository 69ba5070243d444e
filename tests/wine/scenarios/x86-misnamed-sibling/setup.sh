cp "$VARNOLL_DIST_DIR/varnoll.exe" varnoll64.exe
