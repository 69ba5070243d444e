cp "$VARNOLL_SOURCE_DIR/samples/drivers/tarvelix-v92.inf" .
