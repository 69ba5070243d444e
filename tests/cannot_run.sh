# Sourced by the test scripts. cannot_run REASON: the test cannot run
# because a build or a tool of this project is missing. On a developer's
# machine that is a skip (exit 77, which CTest counts as skipped, with the
# reason); under CI (CI set, and not "false" or "0") it is a failure, since
# CTest would count the skip as passed and a missing build would look green.
cannot_run() {
  case "${CI:-}" in
    "" | false | 0)
      echo "SKIP: $*"
      exit 77
      ;;
  esac
  echo "FAIL: $* (under CI a test that cannot run fails; it is not skipped)" >&2
  exit 1
}
