#!/usr/bin/env bash
# Signs the shipped executables with scripts/sign.sh and a throwaway
# certificate authority, and checks the result with osslsigncode: every
# signature verifies against that CA and not against another, one changed
# byte breaks it, and removing it gives back the unsigned build byte for
# byte. Leaves the signed copies in WORK/dist/signed for the Wine run.
#   check_signing.sh SOURCE_DIR DIST_DIR WORK
set -euo pipefail
source_dir=$1
source "$source_dir/scripts/version.sh"
dist=$2
work=$3
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
source "$source_dir/tests/cannot_run.sh"

command -v osslsigncode >/dev/null || cannot_run "osslsigncode is not installed"
command -v openssl >/dev/null || cannot_run "openssl is not installed"
for exe in varnoll.exe varnoll64.exe varnollarm64.exe; do
  [ -f "$dist/$exe" ] || cannot_run "$dist/$exe has not been built"
done
rm -rf "$work" && mkdir -p "$work/pki" "$work/dist"
cp "$dist"/*.exe "$work/dist/"
shipped=$(cd "$work/dist" && ls *.exe)

# A CA, a code-signing certificate it issued, and a CA that issued nothing.
pki=$work/pki
make_ca() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/$1.key" -out "$pki/$1.pem" -days 2 \
    -subj "/CN=$2" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign >/dev/null 2>&1
}
make_ca ca "Varnoll Test CA"
make_ca other-ca "Some Other CA"
openssl req -newkey rsa:2048 -nodes -keyout "$pki/signer.key" -out "$pki/signer.csr" \
  -subj "/CN=Varnoll Test Publisher/O=Varnoll Test" >/dev/null 2>&1
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$pki/ext"
openssl x509 -req -in "$pki/signer.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial \
  -out "$pki/signer.pem" -days 2 -extfile "$pki/ext" >/dev/null 2>&1
printf 'a throwaway password\n' >"$pki/password"
openssl pkcs12 -export -inkey "$pki/signer.key" -in "$pki/signer.pem" -certfile "$pki/ca.pem" \
  -out "$pki/signer.pfx" -passout "file:$pki/password"
printf 'not the password\n' >"$pki/wrong-password"

sign() { env VARNOLL_DIST="$work/dist" "$@" bash "$source_dir/scripts/sign.sh" >"$work/sign.log" 2>&1; }

# Without a certificate: says what is missing, exits 2, signs nothing.
set +e
sign VARNOLL_SIGN_PFX= VARNOLL_SIGN_PASSWORD_FILE=
code=$?
set -e
[ "$code" -eq 2 ] || fail "sign.sh without a certificate exited $code, expected 2"
grep -q VARNOLL_SIGN_PFX "$work/sign.log" && grep -q VARNOLL_SIGN_PASSWORD_FILE "$work/sign.log" ||
  fail "sign.sh without a certificate does not say what is missing: $(cat "$work/sign.log")"
[ ! -d "$work/dist/signed" ] || fail "sign.sh without a certificate made dist/signed"

# A wrong password fails.
if sign VARNOLL_SIGN_PFX="$pki/signer.pfx" VARNOLL_SIGN_PASSWORD_FILE="$pki/wrong-password"; then
  fail "sign.sh succeeded with the wrong password"
fi

sign VARNOLL_SIGN_PFX="$pki/signer.pfx" VARNOLL_SIGN_PASSWORD_FILE="$pki/password" ||
  { cat "$work/sign.log" >&2; fail "sign.sh failed"; exit 1; }

verify() { osslsigncode verify -CAfile "$2" -in "$1" >"$work/verify.log" 2>&1; }
for exe in $shipped; do
  signed=$work/dist/signed/$exe
  [ -f "$signed" ] || { fail "$exe was not signed"; continue; }
  cmp -s "$signed" "$work/dist/$exe" && fail "$exe: the signed copy is the unsigned file"
  cmp -s "$work/dist/$exe" "$dist/$exe" || fail "$exe: signing changed the unsigned build"
  verify "$signed" "$pki/ca.pem" || { cat "$work/verify.log" >&2; fail "$exe: the signature does not verify"; }
  grep -q "Varnoll Test Publisher" "$work/verify.log" || fail "$exe: the signer is not named"
  verify "$signed" "$pki/other-ca.pem" && fail "$exe: verifies against a CA that did not issue the certificate"
  # The signed image is still the program the PE checks accept.
  "${VARNOLL_PYTHON:-/usr/bin/python3}" "$source_dir/tests/static/pe_check.py" image "$signed" \
    "$(project_version "$source_dir")" >/dev/null ||
    fail "$exe: the signed image fails the PE checks"

  # One byte of code changed.
  tampered=$work/tampered-$exe
  cp "$signed" "$tampered"
  printf '\xcc' | dd of="$tampered" bs=1 seek=4100 conv=notrunc status=none
  verify "$tampered" "$pki/ca.pem" && fail "$exe: a changed byte still verifies"

  osslsigncode remove-signature -in "$signed" -out "$work/unsigned-$exe" >/dev/null 2>&1 ||
    fail "$exe: the signature could not be removed"
  cmp "$work/unsigned-$exe" "$dist/$exe" || fail "$exe: without its signature it is not the unsigned build"
done
[ "$status" -eq 0 ] && echo "ok: signed, verified, tamper-evident and removable: $(echo $shipped)"
exit "$status"
