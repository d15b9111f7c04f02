#!/usr/bin/env bash
# Signs Windows programs in place with an Authenticode SHA-256 signature.
#   scripts/sign.sh --cert CERT.pem --key KEY.pem [--timestamp URL] [--unless-signed] FILE...
# CERT.pem may hold the signing certificate followed by its intermediates.
# --timestamp asks URL (RFC 3161) to countersign; --unless-signed leaves a file
# that already carries a signature as it is. Each file is signed into a copy
# beside it and moved over the original only when whole; a failure names the file.
set -euo pipefail

usage() { echo "usage: $0 --cert CERT.pem --key KEY.pem [--timestamp URL] [--unless-signed] FILE..." >&2; exit 2; }
cert= key= ts= unless=0
while [ $# -gt 0 ]; do
  case "$1" in
    --cert) [ $# -ge 2 ] || usage; cert=$2; shift 2 ;;
    --key) [ $# -ge 2 ] || usage; key=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; ts=$2; shift 2 ;;
    --unless-signed) unless=1; shift ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ -n "$cert" ] && [ -n "$key" ] && [ $# -gt 0 ] || usage
[ -r "$cert" ] || { echo "sign: cannot read certificate $cert" >&2; exit 1; }
[ -r "$key" ] || { echo "sign: cannot read key $key" >&2; exit 1; }
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is not installed (run scripts/setup.sh)" >&2; exit 1; }

has_signature() {
  local probe rc=1; probe=$(mktemp -d)
  osslsigncode extract-signature -in "$1" -out "$probe/sig" >/dev/null 2>&1 && [ -s "$probe/sig" ] && rc=0
  rm -rf "$probe"; return $rc
}

for f in "$@"; do
  [ -f "$f" ] || { echo "sign: $f: no such file" >&2; exit 1; }
  if [ $unless = 1 ] && has_signature "$f"; then
    echo "sign: $f: already signed, left as it is"
    continue
  fi
  tmp="$f.signing.$$"
  args=(sign -certs "$cert" -key "$key" -h sha256)
  [ -n "$ts" ] && args+=(-ts "$ts")
  if ! out=$(osslsigncode "${args[@]}" -in "$f" -out "$tmp" 2>&1); then
    rm -f "$tmp"
    echo "sign: $f: signing failed: $out" >&2
    exit 1
  fi
  chmod --reference="$f" "$tmp" 2>/dev/null || true
  mv -f "$tmp" "$f" || { rm -f "$tmp"; echo "sign: $f: cannot replace the file" >&2; exit 1; }
  echo "sign: $f: signed"
done
