# Sourced by the scripts: a Wine prefix and an X display for this run.
#   zul_env_start   fresh prefix outside the clone, one persistent wineserver, Xvfb
#   zul_env_stop    ends them and removes the prefix
ZUL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no Linux menu entries for the shortcuts tests make.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

zul_env_start() {
  export WINEPREFIX="$(mktemp -d /tmp/zul-wine.XXXXXX)"
  if [ -z "${ZUL_KEEP_DISPLAY:-}" ]; then
    local n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ZUL_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  zul_private_user_folders
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 &
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

# zul_build TRIPLE_ARCH: configures and builds build/<arch> (x86_64 or i686).
zul_build() {
  local arch=$1 dir="$ZUL_ROOT/build/$1"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_DIR="${CCACHE_DIR:-/var/cache/zul-ccache}"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ZUL_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ZUL_ROOT/cmake/toolchain-$arch.cmake" \
      "${launcher[@]}" "${@:2}" >/dev/null
  fi
  cmake --build "$dir" -- -j"$(nproc)"
}
