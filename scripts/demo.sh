#!/usr/bin/env bash
# Set-up, build, and run the system's main job under 64-bit Wine as far as it
# exists: the foundation at work, the installer zulinst.exe run unattended
# into the Wine prefix as a publisher's script runs it (then what it made:
# files, registry values, shortcuts, its log), the launcher's model fetching
# its remote configuration from the local stand-in server, and the launcher
# program itself installing the emulator and the game from that server. Then
# the installed uninstaller run silently. Then the i686 installer and
# uninstaller, the deliverable, under 32-bit Wine emulated by qemu-i386.
# The demo runs the test builds (build/x86_64, build/i686), not the programs
# as they ship: only test builds let the launcher take the local server's
# address from ZUL_TEST_HOST. scripts/test.sh runs the shipped programs
# (build/i686-shipped) end to end.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/env.sh"
wine32_why=$(zul_wine32_why)
echo "== build x86_64"; zul_build x86_64 -DZUL_BUILD_TESTS=ON
[ -n "$wine32_why" ] || { echo "== build i686"; zul_build i686 -DZUL_BUILD_TESTS=ON; }
build="$ZUL_ROOT/build/x86_64"
trap zul_env_stop EXIT
zul_env_start

echo; echo "== foundation: a worker thread reporting to the UI thread"
"$here/wine-run.sh" "$build/tests/demo/foundation_demo.exe" | tail -n 8

# zulinst_demo BUILD: copies the installer into C:\ZULSetup of the prefix
# and the recording stand-in into a stand-in system folder as its powershell
# (Wine has no firewall: the command is recorded instead; the test build
# takes the folder from ZUL_TEST_SYSTEM_DIR), runs it unattended into
# C:\ZULDemo and shows what it made.
zulinst_demo() {
  local build=$1 setup="$WINEPREFIX/drive_c/ZULSetup" status=0
  mkdir -p "$setup/system/WindowsPowerShell/v1.0"
  cp "$build/install/zulinst.exe" "$setup/zulinst.exe"
  cp "$build/tests/install/powershell.exe" "$setup/system/WindowsPowerShell/v1.0/powershell.exe"
  echo "C:\\ZULSetup\\zulinst.exe 'from=install|path=C:\\ZULDemo'"
  ZUL_TEST_SYSTEM_DIR='C:\ZULSetup\system' \
    "$ZUL_ROOT/scripts/wine-run.sh" "$setup/zulinst.exe" 'from=install|path=C:\ZULDemo' || status=$?
  echo "exit code $status (1: installed)"
  ZUL_TEST_SYSTEM_DIR='C:\ZULSetup\system' \
    "$ZUL_ROOT/scripts/wine-run.sh" "$build/tests/install/install_demo.exe" --show 'C:\ZULDemo\ZUL' \
    'C:\ZULSetup\zulinst.exe' | tr -d '\r'
  echo "its log, %APPDATA%\\zulplay\\log\\install.log:"
  find "$WINEPREFIX/drive_c/users" -path '*zulplay/log/install.log' -exec cat {} + | tr -d '\r' | cut -f4- | sed 's/^/  /'
  [ "$status" = 1 ]
}

echo; echo "== installer: zulinst.exe unattended into C:\\ZULDemo (files, registry values, shortcuts)"
zulinst_demo "$build"

echo; echo "== launcher: remote configuration from the local stand-in server"
work=$(mktemp -d)
python3 - "$work" <<'PY'
import struct, sys, zlib
def png(r, g, b):
    raw = b"".join(b"\x00" + bytes([r, g, b]) * 4 for _ in range(4))
    def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 4, 4, 8, 2, 0, 0, 0)) + \
        chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
open(sys.argv[1] + "/launch.png", "wb").write(png(200, 40, 40))
open(sys.argv[1] + "/player.png", "wb").write(png(40, 40, 200))
PY
cat > "$work/serve.sh" <<SH
#!/usr/bin/env bash
set -e
base="http://127.0.0.1:\$ZUL_HTTP_TEST_PORT"
curl -sf -X PUT --data-binary @"$work/launch.png" "\$base/_ctl/put?name=pics/launch.png" >/dev/null
curl -sf -X PUT --data-binary @"$work/player.png" "\$base/_ctl/put?name=pics/player.png" >/dev/null
printf '{"appminversion": 12, "apkurl": "%s/f/pkg/game.apk", "playerminversion": 34, "playerurl": "%s/f/pkg/player.7z", "version": 1001, "launch_bg": "%s/f/pics/launch.png", "player_bg": "%s/f/pics/player.png"}' \
  "\$base" "\$base" "\$base" "\$base" > "$work/config.json"
curl -sf -X PUT --data-binary @"$work/config.json" "\$base/_ctl/put?name=zul/config_sea.data" >/dev/null
echo "serving the configuration at \$base/f/zul/config_sea.data"
"$here/wine-run.sh" "$build/tests/demo/launcher_model_demo.exe"
SH
bash "$ZUL_ROOT/tests/tools/with_http_server.sh" bash "$work/serve.sh"
rm -rf "$work"

# The launcher program: the real zulplay.exe in the installer demo's folder,
# against the local stand-in server; Start is pressed through the UI driver
# (real input): the emulator package is downloaded, unpacked and repaired,
# the game package downloaded and handed over to the emulator client.
demo_launcher_program() {
  local build=$1 folder=$2 work
  work=$(mktemp -d)
  head -c 300000 /dev/urandom >"$work/game.apk"
  cat >"$work/serve.sh" <<SH
#!/usr/bin/env bash
set -e
base="http://127.0.0.1:\$ZUL_HTTP_TEST_PORT"
put() { curl -sf -X PUT --data-binary @"\$2" "\$base/_ctl/put?name=\$1" >/dev/null; }
put pkg/player.7z "$build/tests/launcher/zulplay_fixture/player.7z"
put pkg/game.apk "$work/game.apk"
printf '{"appminversion": 1203, "apkurl": "%s/f/pkg/game.apk", "playerminversion": 1000, "playerurl": "%s/f/pkg/player.7z", "version": 1000}' \
  "\$base" "\$base" > "$work/config.json"
printf '{"sea": {"url": "%s/f/pkg/player.7z?chunk=65536&trickle=20", "vershow": "2.5.1"}}' "\$base" > "$work/kxzulx.json"
put zul/config_sea.data "$work/config.json"
put zul/kxzulx "$work/kxzulx.json"
echo "serving the configuration, the package description and both packages at \$base/f/"
"$here/wine-run.sh" "$build/tests/launcher/zulplay_demo.exe" '$folder'
SH
  bash "$ZUL_ROOT/tests/tools/with_http_server.sh" bash "$work/serve.sh"
  rm -rf "$work"
}
echo; echo "== launcher: the installed zulplay.exe (a test build: ZUL_TEST_HOST names the local stand-in server), Start pressed by real input"
# The installer started the launcher (against the publisher's host, which
# this machine does not reach): it ends before its demo starts it afresh.
"$here/wine-run.sh" taskkill /F /IM zulplay.exe >/dev/null 2>&1 || true
demo_launcher_program "$build" 'C:\ZULDemo\ZUL'

# uninstall_demo BUILD: the installed uninstaller run silently, as
# "--playeruninstall" makes it, then what is left of the installation.
uninstall_demo() {
  local build=$1 folder="$WINEPREFIX/drive_c/ZULDemo/ZUL" status=0
  echo "C:\\ZULDemo\\ZUL\\zulplayuninst.exe --playeruninstall"
  "$ZUL_ROOT/scripts/wine-run.sh" "$folder/zulplayuninst.exe" --playeruninstall || status=$?
  echo "exit code $status (1: uninstalled)"
  # The uninstaller deletes itself once it has ended.
  for _ in $(seq 60); do [ -e "$folder/zulplayuninst.exe" ] || break; sleep 0.5; done
  echo "left in C:\\ZULDemo: $(cd "$WINEPREFIX/drive_c/ZULDemo" && find . -mindepth 1 2>/dev/null | wc -l) entries"
  "$ZUL_ROOT/scripts/wine-run.sh" "$build/tests/install/install_demo.exe" --show 'C:\ZULDemo\ZUL' \
    'C:\ZULSetup\zulinst.exe' | tr -d '\r' | sed -n '/^registry:/,/^firewall/p' | grep -v '^firewall'
  [ "$status" = 1 ] && [ ! -e "$folder/zulplayuninst.exe" ]
}
echo; echo "== uninstaller: zulplayuninst.exe silently, then what is left"
uninstall_demo "$build"

zul_env_stop
trap - EXIT

echo; echo "== installer, i686 build: zulinst.exe unattended into C:\\ZULDemo under 32-bit Wine (qemu-i386)"
if [ -n "$wine32_why" ]; then
  echo "not run: $wine32_why"
  exit 0
fi
zul_wine32 "$(declare -f zulinst_demo uninstall_demo); trap zul_env_stop EXIT; zul_env_start i686
  zulinst_demo \"\$ZUL_ROOT/build/i686\"
  echo; echo '== uninstaller, i686 build: zulplayuninst.exe silently, then what is left'
  uninstall_demo \"\$ZUL_ROOT/build/i686\""
