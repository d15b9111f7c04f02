#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the project,
# and builds the dependencies Debian ships only as source (LZMA SDK C files,
# libcurl for mingw) into a cache outside the clone. Idempotent; quick when
# everything is already there. Runs at the same time take turns: each makes
# what it lacks only while it holds the lock beside the cache, so that none
# sees another's apt-get or half-made folder.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

DEPS="${ZUL_DEPS_DIR:-/var/cache/zul-deps}"
export DEBIAN_FRONTEND=noninteractive
mkdir -p "$DEPS"
exec 9>"$DEPS.lock"
flock 9

need_pkgs=()
need() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" || need_pkgs+=("$1")
}
for p in g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix \
         gcc-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
         wine64 xvfb xauth 7zip rapidjson-dev libstb-dev googletest cmake ninja-build \
         python3 dpkg-dev ccache imagemagick x11-utils nginx-light curl openssl osslsigncode \
         fonts-noto-core fonts-nanum fonts-roboto-unhinted fonts-droid-fallback fonts-quicksand; do
  need "$p"
done

# Wine's loader without its preloader lets the kernel lay out the process first,
# at addresses randomised on every start, and about one start in 10,000 finds the
# fixed address of Windows' shared user data (0x7ffe0000) already taken: the
# program ends at once with exit code 1, its only word an error that WINEDEBUG=-all
# hides ("failed to map the shared user data: c0000018"). The preloader reserves
# Windows' fixed addresses before anything else is mapped.
need wine64-preloader

# A TrueType face GDI+ finds under Wine: the label tests and the demo draw text effects in it.
need fonts-dejavu-core

src_list=/etc/apt/sources.list.d/zul-deb-src.sources
add_deb_src() {
  [ -f "$src_list" ] && return 0
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src_list"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/zul-deb-src.list
    touch "$src_list"
  fi
  return 1
}

# A mirror caught in the middle of a sync serves index files that do not
# match their release file for a few minutes: asked again, it is whole.
apt_update() {
  local round
  for round in 1 2 3 4 5; do
    apt-get update -qq && return 0
    echo "setup: apt-get update failed (round $round of 5), again in 30 s" >&2
    sleep 30
  done
  return 1
}

updated=0
if ! add_deb_src; then apt_update; updated=1; fi
if [ ${#need_pkgs[@]} -gt 0 ]; then
  [ $updated = 1 ] || apt_update
  echo "setup: installing ${need_pkgs[*]}"
  apt-get install -y -qq --no-install-recommends "${need_pkgs[@]}" >/dev/null
fi

# LZMA SDK: the C folder of Debian's 7zip source package.
if [ ! -f "$DEPS/lzma/C/7zArcIn.c" ]; then
  echo "setup: fetching 7zip source"
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -qq --download-only 7zip >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
  rm -rf "$DEPS/lzma.new"; mkdir -p "$DEPS/lzma.new"
  cp -r "$tmp/src/C" "$DEPS/lzma.new/C"
  rm -rf "$tmp" "$DEPS/lzma"
  mv "$DEPS/lzma.new" "$DEPS/lzma"
fi

# libcurl for both mingw targets with Schannel.
curl_ver=$(apt-cache showsrc curl 2>/dev/null | awk '/^Version:/{print $2; exit}')
curl_ver=${curl_ver:-unknown}
build_curl() {
  local triple=$1 out="$DEPS/curl-$curl_ver/$1"
  [ -f "$out/.done" ] && return 0
  local src="$DEPS/curl-src-$curl_ver"
  if [ ! -f "$src/CMakeLists.txt" ]; then
    echo "setup: fetching curl source $curl_ver"
    local tmp; tmp=$(mktemp -d)
    (cd "$tmp" && apt-get source -qq --download-only curl >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
    rm -rf "$src"; mv "$tmp/src" "$src"; rm -rf "$tmp"
  fi
  echo "setup: building libcurl for $triple"
  local bld="$DEPS/curl-build-$curl_ver-$triple"
  rm -rf "$bld" "$out"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER="$triple-gcc-posix" \
    -DCMAKE_RC_COMPILER="$triple-windres" -DCMAKE_INSTALL_PREFIX="$out" \
    -DCURL_USE_SCHANNEL=ON -DBUILD_CURL_EXE=OFF -DCURL_DISABLE_LDAP=ON \
    -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DBUILD_TESTING=OFF \
    -DCURL_USE_LIBPSL=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DBUILD_SHARED_LIBS=ON -DCMAKE_SHARED_LINKER_FLAGS="-static-libgcc" >"$bld.log" 2>&1 \
    || { tail -40 "$bld.log"; return 1; }
  cmake --build "$bld" >>"$bld.log" 2>&1 && cmake --install "$bld" >>"$bld.log" 2>&1 \
    || { tail -40 "$bld.log"; return 1; }
  rm -rf "$bld"
  touch "$out/.done"
}
build_curl x86_64-w64-mingw32
build_curl i686-w64-mingw32
ln -sfn "$DEPS/curl-$curl_ver" "$DEPS/curl"

# The root in which the i686 build runs under 32-bit Wine, under its own lock.
exec 9>&-
bash "$here/setup-wine32.sh"
echo "setup: ok ($DEPS)"
