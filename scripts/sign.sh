#!/usr/bin/env bash
# Signs every executable that ships with Authenticode (SHA-256), as copies in
# dist/signed/; the unsigned builds in dist/ stay as they are.
#
#   VARNOLL_SIGN_PFX=release.pfx VARNOLL_SIGN_PASSWORD_FILE=pass.txt scripts/sign.sh
#
#   VARNOLL_SIGN_PFX            the code-signing certificate and its key (PKCS#12)
#   VARNOLL_SIGN_PASSWORD_FILE  a file holding the PKCS#12 password; osslsigncode
#                               reads it itself, so the password is never on a
#                               command line or in the environment
#   VARNOLL_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp server, so
#                               that signatures outlive the certificate
#   VARNOLL_DIST                optional: the folder to sign from (default dist)
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
[ -n "${VARNOLL_SIGN_PFX:-}" ] || missing+=("VARNOLL_SIGN_PFX (the PKCS#12 file with the certificate and key)")
[ -n "${VARNOLL_SIGN_PASSWORD_FILE:-}" ] ||
  missing+=("VARNOLL_SIGN_PASSWORD_FILE (a file holding the PKCS#12 password)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "sign.sh: nothing signed; set in the environment:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 2
fi
for file in "$VARNOLL_SIGN_PFX" "$VARNOLL_SIGN_PASSWORD_FILE"; do
  [ -f "$file" ] || { echo "sign.sh: $file does not exist" >&2; exit 2; }
done
command -v osslsigncode >/dev/null || { echo "sign.sh: needs osslsigncode (scripts/ensure-tools.sh sign)" >&2; exit 2; }

dist=${VARNOLL_DIST:-dist}
source scripts/version.sh
version=$(project_version)
installers="varnoll.exe varnoll64.exe varnollarm64.exe"
check_tools="varnollcheck.exe varnollcheck64.exe varnollcheckarm64.exe"
removers="varnollremove.exe varnollremove64.exe varnollremovearm64.exe"
fleet="varnollfleet64.exe"
for exe in $installers; do
  [ -f "$dist/$exe" ] || { echo "sign.sh: $dist/$exe is missing; build first (scripts/build.sh)" >&2; exit 1; }
done

timestamp=()
[ -z "${VARNOLL_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$VARNOLL_SIGN_TIMESTAMP_URL")
mkdir -p "$dist/signed"
for exe in $installers $check_tools $removers $fleet; do
  [ -f "$dist/$exe" ] || continue
  rm -f "$dist/signed/$exe"
  osslsigncode sign -pkcs12 "$VARNOLL_SIGN_PFX" -readpass "$VARNOLL_SIGN_PASSWORD_FILE" -h sha256 \
    -n "Varnoll $version" "${timestamp[@]}" -in "$dist/$exe" -out "$dist/signed/$exe" >"$dist/signed/.log" 2>&1 ||
    { cat "$dist/signed/.log" >&2; echo "sign.sh: signing $exe failed" >&2; exit 1; }
  chmod 755 "$dist/signed/$exe"
  echo "signed $dist/signed/$exe"
done
rm -f "$dist/signed/.log"
