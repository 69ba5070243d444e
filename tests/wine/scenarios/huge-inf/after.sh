# Peak memory beside the 1 GiB file against a folder with the good INF only.
peak_of() {  # FOLDER -> KiB
  local status peak
  read -r status peak < <(VARNOLL_STANDIN_PRESENT='PCI\VEN_0B16' \
    python3 "$VARNOLL_SOURCE_DIR/tests/wine/max_rss.py" wine "$1/$RUN")
  [ "$status" = 0 ] || fail "the installer exited with $status while measured"
  echo "$peak"
}
small="$work/small"
mkdir -p "$small"
cp "$app/b-good.inf" "$app/$RUN" "$small/"
for dll in $STANDINS; do cp "$standin_dir/$dll.dll" "$small/"; done
small_peak=$(peak_of "$small")
huge_peak=$(peak_of "$app")
echo "peak resident memory: $small_peak KiB beside one INF, $huge_peak KiB beside the 1 GiB INF too"
# The read block and a line are all the file may add; allow 2 MiB of noise.
(( huge_peak - small_peak < 2048 )) || fail "the peak memory grew with the file"
