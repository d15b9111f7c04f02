# Sourced by the scripts: a Wine prefix and an X display for this run, for
# either target (x86_64 under 64-bit Wine; i686 under 32-bit Wine, inside
# scripts/wine32-ns.sh where that runs).
#   zul_env_start [ARCH]  fresh prefix outside the clone, one persistent
#                         wineserver, Xvfb; ZUL_ARTIFACTS_DIR for ARCH's screenshots
#   zul_env_stop          ends them and removes the prefix
#   zul_build ARCH        configures and builds build/ARCH
#   zul_build_shipped ARCH  the three programs as they ship, in build/ARCH-shipped
#   zul_test ARCH         runs the whole CTest suite of build/ARCH
#   zul_wine32 COMMANDS   runs shell commands where 32-bit Wine works
#   zul_wine32_why        empty when the i686 build can run here, else why not
# ZUL_JOBS limits the build's parallel jobs (default: one per core).
# Some tests of each build, from the clone's root:
#   source scripts/env.sh && zul_env_start && ctest --test-dir build/x86_64 -R REGEX; zul_env_stop
#   source scripts/env.sh && zul_wine32 'zul_env_start i686 && ctest --test-dir build/i686 -R REGEX; zul_env_stop'
ZUL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no Linux menu entries for the shortcuts tests make.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A 64-bit prefix for both targets: 32-bit programs run in it through WoW64,
# as on most users' Windows, with their registry and system-folder redirection.
export WINEARCH=win64

# Screenshots go to build/artifacts/, the i686 build's to build/artifacts/i686/
# (a Windows program reaches the folder as Z: followed by the path).
zul_artifacts_dir() {
  case $1 in x86_64) echo "$ZUL_ROOT/build/artifacts" ;; *) echo "$ZUL_ROOT/build/artifacts/$1" ;; esac
}

zul_env_start() {
  export ZUL_ARTIFACTS_DIR="$(zul_artifacts_dir "${1:-x86_64}")"
  mkdir -p "$ZUL_ARTIFACTS_DIR"
  export WINEPREFIX="$(mktemp -d /tmp/zul-wine.XXXXXX)"
  if [ -z "${ZUL_KEEP_DISPLAY:-}" ]; then
    local n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ZUL_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # The persistent wineserver comes first: started later, it finds wineboot's
  # server still lingering and quits, and the next program starts a server
  # (with services.exe and explorer.exe) that holds the caller's output pipe
  # open, so that CTest waits for a test that has long ended.
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  zul_private_user_folders
  # Windows stay managed (Wine's default), although Xvfb runs no window manager
  # and Wine then waits 2 s for one whenever a shown window is hidden or
  # destroyed: unmanaged windows ("Managed"="N") move the X focus between
  # processes, and a test that types loses the keyboard to another test's window.
}

# Wine links the user's Desktop, Documents and the like to the Linux home; the
# tests make and remove shortcuts there, so each prefix gets folders of its own.
zul_private_user_folders() {
  local user_dir
  for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
    for link in "$user_dir"*; do
      [ -L "$link" ] || continue
      rm -f "$link" && mkdir -p "$link"
    done
  done
}

zul_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "${ZUL_XVFB_PID:-}" ] && kill "$ZUL_XVFB_PID" >/dev/null 2>&1 || true
  case "${WINEPREFIX:-}" in /tmp/zul-wine.*) rm -rf "$WINEPREFIX" ;; esac
}

# zul_build ARCH [CMAKE OPTIONS]: configures and builds build/ARCH (x86_64 or
# i686); options given reconfigure an existing build folder.
zul_build() {
  local arch=$1 dir="$ZUL_ROOT/build/$1"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_DIR="${CCACHE_DIR:-/var/cache/zul-ccache}"
  if [ ! -f "$dir/build.ninja" ] || [ $# -gt 1 ]; then
    cmake -S "$ZUL_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ZUL_ROOT/cmake/toolchain-$arch.cmake" \
      "${launcher[@]}" "${@:2}" >/dev/null
  fi
  cmake --build "$dir" -- -j"${ZUL_JOBS:-$(nproc)}"
}

# zul_build_shipped ARCH: the programs as they ship, in build/ARCH-shipped:
# optimised, stripped, without tests and without anything only tests use (the
# control lookup, the test download host); fails if any of that got in.
zul_build_shipped() {
  local arch=$1 dir="$ZUL_ROOT/build/$1-shipped" exe
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_DIR="${CCACHE_DIR:-/var/cache/zul-ccache}"
  cmake -S "$ZUL_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ZUL_ROOT/cmake/toolchain-$arch.cmake" \
    "${launcher[@]}" -DZUL_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-s >/dev/null
  cmake --build "$dir" --target zulinst zulplay zulplayuninst -- -j"${ZUL_JOBS:-$(nproc)}" >/dev/null
  for exe in install/zulinst.exe launcher/zulplay.exe uninstall/zulplayuninst.exe; do
    if grep -aq -e ZUL_TEST_HOST -e testhook:: "$dir/$exe"; then
      echo "$exe carries code only tests may use" >&2
      return 1
    fi
    echo "$(basename "$exe"): $(( $(stat -c %s "$dir/$exe") / 1024 )) KB"
  done
}

# zul_wine32_why: prints why the i686 build cannot run under 32-bit Wine here
# (one line), or nothing when it can.
zul_wine32_why() {
  bash "$ZUL_ROOT/scripts/wine32-ns.sh" --probe || true
}

# zul_wine32 COMMANDS: runs shell commands (with these functions at hand)
# inside scripts/wine32-ns.sh, where the clone keeps its path, so every path
# CTest and the build have recorded works there as it is.
zul_wine32() {
  env -u ZUL_KEEP_DISPLAY ZUL_IN_WINE32=1 bash "$ZUL_ROOT/scripts/wine32-ns.sh" \
    bash -c 'source "$0/scripts/env.sh" && eval "$1"' "$ZUL_ROOT" "$1"
}

# zul_test ARCH: the whole CTest suite of build/ARCH in parallel under Wine and
# Xvfb, then the demo window's screenshot; the i686 suite under 32-bit Wine.
zul_test() {
  local arch=$1
  if [ "$arch" = i686 ] && [ -z "${ZUL_IN_WINE32:-}" ]; then
    zul_wine32 "zul_test i686"
    return
  fi
  (
    trap zul_env_stop EXIT
    zul_env_start "$arch"
    local status=0
    echo "== tests $arch (display $DISPLAY)"
    ZUL_WINE_RUN_DETACHED=1 ctest --test-dir "$ZUL_ROOT/build/$arch" -j"$(nproc)" --output-on-failure \
      --timeout 600 || status=1
    echo "== demo screenshot $arch"
    "$ZUL_ROOT/scripts/screenshot-demo.sh" "$ZUL_ROOT/build/$arch" "$ZUL_ARTIFACTS_DIR" || status=1
    exit "$status"
  )
}
