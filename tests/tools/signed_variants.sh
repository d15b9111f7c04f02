#!/usr/bin/env bash
# Puts a program signed by the test publisher into DIR, with one copy for
# each reason the launcher refuses to start a program with administrator
# rights, and the test root the tests add to their trusted roots:
#   signed.exe    as PROGRAM is (signed by the trusted test publisher)
#   unsigned.exe  its signature removed
#   altered.exe   one byte of its code changed after signing
#   rogue.exe     signed with the publisher's very subject under an untrusted root
#   other.exe     signed by another publisher under the trusted root
#   root.der      the trusted test root
#   signed_variants.sh DIR PROGRAM PKI_DIR   (PKI_DIR: scripts/make-test-pki.sh's folder)
set -euo pipefail
dir=$1 program=$2 pki=$3
here="$(cd "$(dirname "$0")/../.." && pwd)"
mkdir -p "$dir"
work=$(mktemp -d "$dir/.variants.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp "$program" "$work/signed.exe"
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
cp "$work/signed.exe" "$work/altered.exe"
# A byte well inside the first section, past the headers and far from the signature.
python3 - "$work/altered.exe" <<'PY'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0x1000)
    b = f.read(1)
    f.seek(0x1000)
    f.write(bytes([b[0] ^ 0xFF]))
PY
cp "$work/unsigned.exe" "$work/rogue.exe"
bash "$here/scripts/sign.sh" --cert "$pki/rogue-chain.pem" --key "$pki/rogue.key" "$work/rogue.exe" >/dev/null
cp "$work/unsigned.exe" "$work/other.exe"
bash "$here/scripts/sign.sh" --cert "$pki/other.crt" --key "$pki/other.key" "$work/other.exe" >/dev/null
cp "$pki/root.der" "$work/root.der"
for f in signed.exe unsigned.exe altered.exe rogue.exe other.exe root.der; do
  mv -f "$work/$f" "$dir/$f"
done
