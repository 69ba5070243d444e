#!/usr/bin/env bash
# Makes the sample drivers' catalogs again, after a sample INF changed: each
# qualifying sample INF gets <name>.cat from tests/package/make_catalog.py,
# signed with osslsigncode by a throwaway certificate, "Varnoll samples
# (test)", whose key is thrown away at once. Windows trusts no such
# certificate: the check tool says so, which is what the demo shows.
#   tests/package/sign_samples.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d /tmp/varnoll-samples.XXXXXX)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 3650 \
  -subj "/CN=Varnoll samples (test)" -addext keyUsage=critical,digitalSignature \
  -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
for inf in samples/drivers/tarvelix-v92.inf samples/drivers/tarvelix-fax.inf; do
  cat=${inf%.inf}.cat
  /usr/bin/python3 tests/package/make_catalog.py --osattr 2:6.1,2:6.2,2:6.3,2:10.0 "$work/unsigned.cat" "$inf"
  rm -f "$cat"
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -h sha256 -in "$work/unsigned.cat" -out "$cat" \
    >/dev/null
  echo "$cat: $(sha256sum <"$cat" | cut -c1-64)"
done
