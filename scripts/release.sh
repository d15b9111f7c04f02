#!/usr/bin/env bash
# scripts/release.sh DEPLOYMENT_FILE
# A release from a deployment file (deployment/example/deployment.txt says
# what goes in it): the i686 programs as they ship (optimised, stripped,
# without test hooks) built from the file in build/i686-release, signed when
# the file names a certificate (the installer last, with its payload signed
# inside), then copied into build/release/zul-VERSION/ with a SHA256SUMS file.
# Prints what it made; its last line says whether the release is signed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: scripts/release.sh DEPLOYMENT_FILE (see deployment/example/deployment.txt)" >&2
  exit 2
fi
deployment=$(realpath "$1")
bash "$here/setup.sh"
source "$here/env.sh"

echo "== release build from $deployment"
zul_build_shipped i686 "$deployment" || { echo "release: the build failed" >&2; exit 1; }

build="$ZUL_ROOT/build/i686-release"
# What the configure read from the file (cmake/deployment.cmake).
version=$(sed -n 's/^version=//p' "$build/deployment/release.txt")
certificate=$(sed -n 's/^certificate=//p' "$build/deployment/release.txt")
[ -n "$version" ] || { echo "release: no version in $build/deployment/release.txt" >&2; exit 1; }

out="$ZUL_ROOT/build/release/zul-$version"
rm -rf "$out"
mkdir -p "$out"
cp "$build/install/zulinst.exe" "$build/launcher/zulplay.exe" "$build/uninstall/zulplayuninst.exe" "$out/"
(cd "$out" && sha256sum zulinst.exe zulplay.exe zulplayuninst.exe >SHA256SUMS)

echo "== release $version in $out"
(cd "$out" && for file in zulinst.exe zulplay.exe zulplayuninst.exe; do
  printf '%-18s %6d KB  sha256 %s\n' "$file" $(( $(stat -c %s "$file") / 1024 )) \
    "$(sed -n "s/  $file\$//p" SHA256SUMS)"
done)
echo "SHA256SUMS"
if [ -n "$certificate" ]; then
  subject=$(openssl x509 -noout -subject -nameopt sep_comma_plus_space,utf8,esc_ctrl -in "$certificate" | sed 's/^subject=//')
  echo "release zul-$version: signed by $subject (the installer last)"
else
  echo "release zul-$version: unsigned (the deployment names no signing_certificate)"
fi
