# Sourced by the scripts: build_preset PRESET [ARGS...] configures and builds
# one CMake preset (ARGS go to cmake --build, e.g. --target NAME), with all
# output in build/PRESET.log, shown only when something fails.
build_preset() {
  local preset=$1
  shift
  local log=build/$preset.log
  mkdir -p build
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" "$@"; } >"$log" 2>&1; then
    cat "$log"
    return 1
  fi
}
