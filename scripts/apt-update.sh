# Sourced by the scripts that fetch Debian's package lists: the host's
# (ensure-tools.sh) and the emulated ARM64 machine's private ones
# (tests/arm64/guest.sh).
#
# apt_update APT_GET... runs `APT_GET... update` (`sudo apt-get`, or apt-get
# with options of its own), tries again a few times with a pause when it
# fails, and when it still fails says which lists failed, that the mirror is
# at fault, and how to try again; then returns non-zero. apt keeps the lists
# that did arrive beside the old or missing ones, so nothing may be installed
# after a failure: a resolver working from half the lists fails later, with
# errors that point nowhere.
#   VARNOLL_APT_ATTEMPTS (default 3) and VARNOLL_APT_PAUSE (seconds, default
#   20) set how often to try and how long to wait in between.
apt_update() {
  local attempts=${VARNOLL_APT_ATTEMPTS:-3} pause=${VARNOLL_APT_PAUSE:-20}
  local output attempt=1 status
  output=$(mktemp)
  while :; do
    # --error-on=any: a list that failed is an error, never a warning
    # followed by "old ones used instead".
    status=0
    "$@" update --error-on=any >"$output" 2>&1 || status=$?
    [ "$status" -ne 0 ] || { rm -f "$output"; return 0; }
    [ "$attempt" -lt "$attempts" ] || break
    echo "apt-get update failed (attempt $attempt of $attempts); trying again in $pause s." >&2
    sleep "$pause"
    attempt=$((attempt + 1))
  done
  apt_update_explain "$output" "$attempts" >&2
  rm -f "$output"
  return "$status"
}

# apt_update_explain OUTPUT ATTEMPTS: what failed, whose fault it is, and
# what to do, from apt-get update's output.
apt_update_explain() {
  local output=$1 attempts=$2
  echo
  echo "apt-get update failed $attempts times. These package lists could not be fetched:"
  # apt's "Err:" lines name each list and are followed by the reason; its
  # closing "old ones used instead" does not hold here.
  awk '/^Err:/ { print "  " $0; reason = 1; next }
       reason && /^  / { print "  " $0; reason = 0; next }
       { reason = 0 }
       /^[EW]: / && !/They have been ignored, or old ones used instead/ { print "  " $0 }' "$output"
  echo
  if grep -q -E 'unexpected size|Hash Sum mismatch|Mirror sync in progress' "$output"; then
    echo "The package mirror is inconsistent: it served a list that does not match its own release"
    echo "file, as happens while a mirror is being updated."
  else
    echo "The package mirror is unreachable, or answered with errors."
  fi
  echo "This is not a fault of this project. Nothing was installed: going on with part of the"
  echo "lists would only fail later, in apt's resolver."
  echo "To try again: wait a few minutes, then run the same command again. If it keeps failing,"
  echo "point apt at another Debian mirror (/etc/apt/sources.list.d/, /etc/apt/sources.list)"
  echo "and run it again."
}
