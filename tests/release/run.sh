#!/usr/bin/env bash
# The test release: scripts/release.sh run on the test deployment
# (tests/release/deployment.txt, every value other than the example's), with
# a test root and a code-signing certificate made by openssl on the spot
# (scripts/make-test-pki.sh), a payload folder holding programs of its own
# (one signed already by another publisher) and an icon. Then:
#   - bad files: a deployment lacking a required value, and a payload folder
#     holding zulplay.exe, each stop the configure with a line naming it;
#   - the release folder: its SHA256SUMS hold, its last line says signed;
#     the trusted publishers reach the build as the list ZUL_TRUSTED_PUBLISHERS;
#   - values: the programs and what their resources unpack to carry the test
#     deployment's hosts and addresses and none of the example's;
#   - signatures: every .exe and .dll of the release and of the installer's
#     payload verifies against the test root (osslsigncode verify), each
#     signed by the test publisher but the payload's program signed before;
#   - the icon: the programs carry the deployment's;
#   - versions and install (release_program_test.cpp, under 32-bit Wine in a
#     world of its own): version resources, the uninstall entry, the settings
#     window.
# Needs the i686 test build (the test program) and 32-bit Wine; scripts/test.sh
# runs it after the suites. Prints one line per fault; exits 1 on any.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/env.sh"

status=0
fail() { echo "release test: $*" >&2; status=1; }

# Under build/: the 32-bit Wine namespace has a /tmp of its own.
work="$root/build/release-test"
rm -rf "$work"
mkdir -p "$work/deploy/payload/emulator"
deploy="$work/deploy"
publisher_subject="/CN=Norvale Test Publisher/O=Norvale"

# The test deployment beside its PKI, payload and icon.
cp "$root/tests/release/deployment.txt" "$deploy/deployment.txt"
bash "$root/scripts/make-test-pki.sh" "$deploy/pki" "$publisher_subject" >/dev/null ||
  { echo "release test: scripts/make-test-pki.sh failed" >&2; exit 1; }
printf 'https://play.norvale.test/news\n' >"$deploy/payload/host1.txt"
printf 'https://play.norvale.test/events\n' >"$deploy/payload/host2.txt"
printf 'int main(void) { return 0; }\n' >"$work/client.c"
printf '__declspec(dllexport) int engine(void) { return 1; }\n' >"$work/engine.c"
i686-w64-mingw32-gcc-posix -O2 -s -o "$deploy/payload/zulclient.exe" "$work/client.c" &&
  i686-w64-mingw32-gcc-posix -O2 -s -shared -o "$deploy/payload/emulator/engine.dll" "$work/engine.c" &&
  cp "$deploy/payload/zulclient.exe" "$deploy/payload/signed-before.exe" &&
  bash "$root/scripts/sign.sh" --cert "$deploy/pki/other.crt" --key "$deploy/pki/other.key" \
    "$deploy/payload/signed-before.exe" >/dev/null ||
  { echo "release test: the payload's programs could not be made" >&2; exit 1; }
convert -size 32x32 xc:'#2a7f62' "$deploy/test.ico" || { echo "release test: no icon made" >&2; exit 1; }

# zul_refused NAME DEPLOYMENT TEXT: configuring from DEPLOYMENT fails, with
# a line that names TEXT.
zul_refused() {
  local out
  if out=$(cmake -S "$root" -B "$work/refused-$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686.cmake" \
      -DZUL_DEPLOYMENT="$2" 2>&1); then
    fail "$1: configuring from it did not fail"
  elif ! grep -q -- "$3" <<<"$out"; then
    fail "$1: the configure failed without naming $3:"$'\n'"$(tail -n 15 <<<"$out")"
  else
    echo "release test: $1 refused: $(grep -m1 -- "$3" <<<"$out" | sed 's/^ *//')"
  fi
}
echo "== test release: files that must be refused"
grep -v '^web_host' "$deploy/deployment.txt" >"$deploy/lacking.txt"
zul_refused "a deployment lacking web_host" "$deploy/lacking.txt" "web_host"
mkdir -p "$work/bad/payload"
cp "$deploy/payload/zulclient.exe" "$work/bad/payload/zulplay.exe"
sed 's|^payload = .*|payload = bad/payload|; s|^icon = .*||; s|^signing_.*||' "$deploy/deployment.txt" \
  >"$work/bad-payload.txt"
zul_refused "a payload folder holding zulplay.exe" "$work/bad-payload.txt" "zulplay.exe"

echo "== test release: scripts/release.sh"
release_log="$work/release.log"
if ! bash "$root/scripts/release.sh" "$deploy/deployment.txt" >"$release_log" 2>&1; then
  tail -n 40 "$release_log" >&2
  echo "release test: scripts/release.sh failed" >&2
  exit 1
fi
cat "$release_log" | sed -n '/^== release /,$p'
release="$root/build/release/zul-2.3.4.5"
last=$(tail -n 1 "$release_log")
case "$last" in
  *"signed by CN=Norvale Test Publisher, O=Norvale"*) ;;
  *) fail "the release's last line does not say it is signed by the test publisher: $last" ;;
esac
(cd "$release" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS of $release do not hold"
# The trusted publishers reach the build as one CMake list, each subject whole.
grep -qx 'ZUL_TRUSTED_PUBLISHERS:INTERNAL=CN=Norvale Test Publisher, O=Norvale;CN=Norvale Second Publisher, O=Norvale' \
  "$root/build/i686-release/CMakeCache.txt" || fail "the build's ZUL_TRUSTED_PUBLISHERS is not the deployment's two subjects"

# What the programs' resources hold: the skin archives (ZIPRES) and the
# installer's payload (ZIP 130).
unpacked="$work/unpacked"
for program in zulinst zulplay zulplayuninst; do
  7zz x -tPE -y -o"$unpacked/$program" "$release/$program.exe" .rsrc >/dev/null ||
    fail "the resources of $program.exe cannot be unpacked"
  for archive in "$unpacked/$program"/.rsrc/ZIPRES/* "$unpacked/$program"/.rsrc/ZIP/*; do
    [ -f "$archive" ] || continue
    7zz x -y -o"$archive.files" "$archive" >/dev/null || fail "$archive cannot be unpacked"
  done
done
payload="$unpacked/zulinst/.rsrc/ZIP/130.files"
[ -f "$payload/zulclient.exe" ] && [ -f "$payload/emulator/engine.dll" ] && [ -f "$payload/host1.txt" ] ||
  fail "the installer's payload lacks the deployment's payload folder"
for file in qmresource.rcc test.html; do
  [ ! -e "$payload/$file" ] || fail "the installer's payload holds the example's $file"
done

echo "== test release: values"
python3 "$root/tests/release/check_values.py" "$deploy/deployment.txt" "$root/deployment/example/deployment.txt" \
  "$release" "$unpacked" || status=1

echo "== test release: signatures"
# Subjects in the "/CN=.../O=..." form osslsigncode prints.
subject_of() { openssl x509 -noout -subject -nameopt compat -in "$1" | sed 's/^subject= *//'; }
publisher=$(subject_of "$deploy/pki/publisher.crt")
other=$(subject_of "$deploy/pki/other.crt")
signed=0
while IFS= read -r -d '' file; do
  name=${file#"$root/"}
  if ! out=$(osslsigncode verify -CAfile "$deploy/pki/root.crt" -in "$file" 2>&1); then
    fail "$name does not verify against the test root:"$'\n'"$(tail -n 5 <<<"$out")"
    continue
  fi
  # The first subject printed is the signer's.
  signer=$(sed -n 's/^[[:space:]]*Subject: //p' <<<"$out" | head -n 1)
  want=$publisher
  [ "$(basename "$file")" = signed-before.exe ] && want=$other
  [ "$signer" = "$want" ] || fail "$name is signed by \"$signer\", not \"$want\""
  signed=$((signed + 1))
done < <(find "$release" "$payload" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
[ "$signed" -ge 9 ] || fail "only $signed programs and libraries verified (the release's 3 and the payload's 6 at least)"
echo "release test: $signed programs and libraries verified against the test root"

echo "== test release: icon"
# 7zz gives each icon image of a program as an .ico of its own: after the
# 22 bytes of header and entry, the same image as the deployment's .ico.
tail -c +23 "$deploy/test.ico" >"$work/icon-image"
for program in zulinst zulplay zulplayuninst; do
  found=no
  for image in "$unpacked/$program"/.rsrc/ICON/*; do
    [ -f "$image" ] && cmp -s <(tail -c +23 "$image") "$work/icon-image" && found=yes
  done
  [ "$found" = yes ] || fail "$program.exe does not carry the deployment's icon"
done

echo "== test release: versions, install and settings window (32-bit Wine)"
test_program="$root/build/i686/tests/release/release_program_test.exe"
if [ ! -f "$test_program" ]; then
  fail "$test_program is not built (the i686 test build makes it)"
else
  : >"$work/trace.txt"
  zul_wine32 "env -u WINEPREFIX -u DISPLAY -u ZUL_PREFIX_TEMPLATE ZUL_ARTIFACTS_DIR='$(zul_artifacts_dir i686)' \
    ZUL_RELEASE_DIR='$release' ZUL_RELEASE_VERSION=2.3.4.5 ZUL_RELEASE_PUBLISHER='Norvale Test Publisher' \
    ZUL_RELEASE_TRACE='$work/trace.txt' timeout -k 10 900 python3 '$root/tests/tools/test_world.py' -- \
    bash -c 'ZUL_WINE_RUN_DETACHED= \"\$0\" \"\$1\" 2>>\"\$ZUL_RELEASE_TRACE\"' '$root/scripts/wine-run.sh' '$test_program'" ||
    { fail "the release did not install and show its version as it should (above; Wine said:)"
      grep -v ':trace:' "$work/trace.txt" | tail -n 20 >&2; }
fi
[ "$status" = 0 ] && echo "release test: passed"
exit "$status"
