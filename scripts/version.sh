# Sourced by the scripts: project_version [SOURCE_DIR] prints the version
# set once, in project() of the top-level CMakeLists.txt.
project_version() {
  sed -n 's/^project(varnoll VERSION \([0-9.]*\).*/\1/p' "${1:-.}/CMakeLists.txt"
}
