#!/usr/bin/env bash
# apt_update (scripts/apt-update.sh) on local file: repositories, under a
# private apt configuration (its own sources, lists, status and cache), so
# that no network is used and the machine's own lists are never touched. One
# row per repository: its release file right; one list's size wrong in its
# release file, as a mirror serves it in the middle of a sync; and a
# repository that is not there.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/scripts/apt-update.sh"
export VARNOLL_APT_ATTEMPTS=3 VARNOLL_APT_PAUSE=0
fail() { echo "FAIL [apt_update, $row]: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/varnoll-apt.XXXXXX)
trap 'rm -rf "$work"' EXIT
# apt reads the repository as its unprivileged download user.
chmod 755 "$work"
arch=$(dpkg --print-architecture)

# make_repo DIR SIZE_ERROR: one list, Packages, whose compressed file's size
# in the release file is off by SIZE_ERROR bytes (apt finds a list by its
# uncompressed name there, and fetches the compressed file).
make_repo() {
  local list=$1/dists/stable/main/binary-$arch
  mkdir -p "$list"
  printf 'Package: varnoll-probe\nVersion: 1.0\nArchitecture: %s\nFilename: pool/p.deb\nSize: 1\nDescription: p\n\n' \
    "$arch" >"$list/Packages"
  xz -k "$list/Packages"
  {
    printf 'Suite: stable\nCodename: stable\nArchitectures: %s\nComponents: main\nDate: %s\nSHA256:\n' \
      "$arch" "$(date -Ru)"
    printf ' %s %d main/binary-%s/Packages\n' "$(sha256sum "$list/Packages" | cut -d' ' -f1)" \
      "$(stat -c %s "$list/Packages")" "$arch"
    printf ' %s %d main/binary-%s/Packages.xz\n' "$(sha256sum "$list/Packages.xz" | cut -d' ' -f1)" \
      $(($(stat -c %s "$list/Packages.xz") + $2)) "$arch"
  } >"$1/dists/stable/Release"
}

# row NAME URI: apt_update with a private configuration whose one source is
# URI; its standard error in $work/NAME.err, its status in $status.
row() {
  row=$1
  local apt=$work/$1
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts"
  : >"$apt/status"
  echo "deb [trusted=yes] $2 stable main" >"$apt/sources.list"
  status=0
  apt_update apt-get -o "APT::Architecture=$arch" -o "APT::Architectures=$arch" \
    -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/parts" \
    -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=$apt/status" -o "Dir::Cache=$apt/cache" \
    2>"$apt.err" || status=$?
  lists=$(cd "$apt/lists" && ls | grep -c '_Packages' || true)
}
expect_words() {
  local words
  for words in "$@"; do
    grep -qF -- "$words" "$work/$row.err" || fail "it did not say '$words': $(cat "$work/$row.err")"
  done
}

machine_lists=$(ls -l --time-style=full-iso /var/lib/apt/lists 2>/dev/null || true)

make_repo "$work/good" 0
row consistent "file:$work/good"
[ "$status" -eq 0 ] || fail "exit status $status, expected 0: $(cat "$work/$row.err")"
[ "$lists" -eq 1 ] || fail "$lists package lists, expected 1"
[ ! -s "$work/$row.err" ] || fail "it said: $(cat "$work/$row.err")"

make_repo "$work/mid-sync" 7
row mid-sync "file:$work/mid-sync"
[ "$status" -ne 0 ] || fail "exit status 0 with a list that does not match the release file"
[ "$lists" -eq 0 ] || fail "$lists package lists kept, expected none"
[ "$(grep -c 'trying again' "$work/$row.err")" -eq 2 ] || fail "not tried three times: $(cat "$work/$row.err")"
expect_words "Err:" "stable/main $arch Packages" "Hash Sum mismatch" "The package mirror is inconsistent" \
  "This is not a fault of this project" "run the same command again"
! grep -q "old ones used instead" "$work/$row.err" || fail "it passed on apt's 'old ones used instead'"

row missing "file:$work/not-there"
[ "$status" -ne 0 ] || fail "exit status 0 with no repository"
expect_words "Err:" "The package mirror is unreachable" "This is not a fault of this project"

[ "$(ls -l --time-style=full-iso /var/lib/apt/lists 2>/dev/null || true)" = "$machine_lists" ] ||
  fail "the machine's own package lists changed"
echo "ok [apt_update]: complete lists pass; a list that does not match its release file, and a repository" \
  "that is not there, fail after three tries, naming the list and the mirror's fault; the machine's lists untouched"
