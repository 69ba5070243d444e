cp "$VARNOLL_SOURCE_DIR/samples/drivers/tarvelix-v92.inf" .
# Its catalog too: Wine installs no INF whose catalog is missing.
cp "$VARNOLL_SOURCE_DIR/samples/drivers/tarvelix-v92.cat" .
