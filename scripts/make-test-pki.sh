#!/usr/bin/env bash
# Makes the test certificates that sign the test builds' programs.
#   scripts/make-test-pki.sh DIR [PUBLISHER_SUBJECT]
# In DIR (openssl subjects in "/CN=.../O=..." form):
#   root.crt/root.key            a test root CA
#   publisher.crt/publisher.key  code signing, PUBLISHER_SUBJECT, under the root
#   other.crt/other.key          code signing, another publisher, under the root
#   rogue-root.crt/rogue-root.key  a root nobody trusts
#   rogue.crt/rogue.key          code signing, PUBLISHER_SUBJECT, under the rogue root
# A DIR that already holds them all is left as it is. Runs at the same time take
# turns under a lock in DIR, and the files appear only when all are made.
set -euo pipefail
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 DIR [PUBLISHER_SUBJECT]" >&2; exit 2; }
dir=$1
subject=${2:-/CN=Norvale Test Publisher/O=Norvale}
files=(root.crt root.key publisher.crt publisher.key other.crt other.key
       rogue-root.crt rogue-root.key rogue.crt rogue.key)

complete() { local f; for f in "${files[@]}"; do [ -s "$dir/$f" ] || return 1; done; }
complete && exit 0

mkdir -p "$dir"
exec 9>"$dir/.lock"
flock 9
complete && exit 0

work=$(mktemp -d "$dir/.make.XXXXXX")
trap 'rm -rf "$work"' EXIT

cat > "$work/leaf.ext" <<'EXT'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid
EXT

root() { # name subject
  openssl req -x509 -new -newkey rsa:2048 -nodes -sha256 -days 3650 \
    -subj "$2" -keyout "$work/$1.key" -out "$work/$1.crt" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    -addext subjectKeyIdentifier=hash 2>/dev/null
}
leaf() { # name subject issuer
  openssl req -new -newkey rsa:2048 -nodes -sha256 -subj "$2" \
    -keyout "$work/$1.key" -out "$work/$1.csr" 2>/dev/null
  openssl x509 -req -in "$work/$1.csr" -CA "$work/$3.crt" -CAkey "$work/$3.key" \
    -set_serial "0x$(openssl rand -hex 8)" -days 3650 -sha256 -extfile "$work/leaf.ext" \
    -out "$work/$1.crt" 2>/dev/null
}
root root "/CN=Norvale Test Root/O=Norvale"
leaf publisher "$subject" root
leaf other "/CN=Another Test Publisher/O=Elsewhere" root
root rogue-root "/CN=Rogue Test Root/O=Nobody"
leaf rogue "$subject" rogue-root

# Keys before certificates, and the last certificate last: a reader that checks
# for every file sees either none of this run's or all of them.
for f in root.key publisher.key other.key rogue-root.key rogue.key \
         root.crt publisher.crt other.crt rogue-root.crt rogue.crt; do
  chmod 0644 "$work/$f"
  mv -f "$work/$f" "$dir/$f"
done
