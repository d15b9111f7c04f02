#!/usr/bin/env bash
# Makes the root in which the i686 build's tests run under 32-bit Wine (see
# scripts/wine32-ns.sh): Debian 12 for amd64 with the i386 architecture added,
# Wine 8.0 for both (wine64 and wine32:i386), qemu-i386 from bookworm-backports
# (the bookworm one spends about a minute of CPU starting each 32-bit process),
# Xvfb and the tools the tests and scripts call. It is cached outside the clone
# and made again when missing or when the recipe below changes. The host itself
# gets no i386 package.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="${ZUL_WINE32_ROOT:-${ZUL_DEPS_DIR:-/var/cache/zul-deps}/wine32-root}"
export DEBIAN_FRONTEND=noninteractive

# Bump the number when the steps below change; the package lists count on their
# own. A tool the tests call while they run (not one the build calls) belongs
# here as well as in setup.sh, since the i686 suite runs in this root.
backports_pkgs="qemu-user"
pkgs="wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick python3 curl cmake 7zip procps
      fonts-dejavu-core fonts-dejavu-extra"
recipe="1 bookworm backports: $backports_pkgs; main: $(echo $pkgs)"

if ! why=$(bash "$here/wine32-ns.sh" --probe); then
  echo "setup: $why; the i686 tests cannot run here, only the x86_64 ones will"
  exit 0
fi
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
# The test worlds' font packages (ZUL_WORLD_FONTS, from setup.sh) are added to a
# root that lacks them, without making it again: a root other clones of the
# project share keeps its recipe.
add_world_fonts() {  # ROOT
  local missing=() p
  for p in ${ZUL_WORLD_FONTS:-}; do
    [ -e "$1/usr/share/doc/$p" ] || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: adding ${missing[*]} to the 32-bit Wine root"
  ZUL_WINE32_ROOT="$1" bash "$here/wine32-ns.sh" sh -c "for round in 1 2 3; do apt-get update -qq && break; sleep 20; done
    apt-get install -y -qq --no-install-recommends ${missing[*]} && apt-get clean && rm -rf /var/lib/apt/lists/*" \
    >>"$1.fonts.log" 2>&1 || { tail -20 "$1.fonts.log"; exit 1; }
}
if [ "$(cat "$root/.zul-recipe" 2>/dev/null)" = "$recipe" ]; then
  add_world_fonts "$root"
  echo "setup: 32-bit Wine root ok ($root)"
  exit 0
fi

# The Debian mirrors the host uses (deb822 or one-line sources).
debian_uri() {  # SUITE DEFAULT
  local uri
  uri=$(awk -v s="$1" '/^URIs:/{u=$2} /^Suites:/{for(i=2;i<=NF;i++) if($i==s){print u; exit}}' \
        /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
  [ -n "$uri" ] || uri=$(awk -v s="$1" '$1=="deb" && $3==s {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
  echo "${uri:-$2}"
}
mirror=$(debian_uri bookworm http://deb.debian.org/debian)
security=$(debian_uri bookworm-security http://deb.debian.org/debian-security)

command -v debootstrap >/dev/null || {
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
}
echo "setup: making the 32-bit Wine root in $root (a few minutes, once)"
new="$root.new"
rm -rf "$new"
log="$root.log"
debootstrap --variant=minbase --arch=amd64 bookworm "$new" "$mirror" >"$log" 2>&1 \
  || { tail -20 "$log"; exit 1; }
cat > "$new/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $mirror bookworm-backports main
deb $security bookworm-security main
EOF
cp /etc/resolv.conf "$new/etc/resolv.conf"
touch "$new/etc/hosts"
# No service starts from a maintainer script in here.
printf '#!/bin/sh\nexit 101\n' > "$new/usr/sbin/policy-rc.d"
chmod +x "$new/usr/sbin/policy-rc.d"
chroot "$new" dpkg --add-architecture i386

# qemu-i386 comes first; the i386 packages' maintainer scripts then run
# through it inside the namespace.
in_root() { ZUL_WINE32_ROOT="$new" bash "$here/wine32-ns.sh" "$@" >>"$log" 2>&1 || { tail -20 "$log"; exit 1; }; }
# The index again while a mirror is caught in a sync (see setup.sh); a mirror
# that stays half-synced leaves its index as it was, and the install then
# takes what the other indexes offer (or fails on what is missing).
in_root sh -c "for round in 1 2 3; do apt-get update -qq && break; sleep 20; done
  apt-get install -y -qq --no-install-recommends -t bookworm-backports $backports_pkgs"
in_root sh -c "apt-get install -y -qq --no-install-recommends $(echo $pkgs) && apt-get clean"
in_root sh -c '/usr/lib/wine/wine --version && /usr/lib/wine/wine64 --version'
rm -rf "$new"/var/lib/apt/lists/* "$new"/tmp/*

add_world_fonts "$new"
echo "$recipe" > "$new/.zul-recipe"
rm -rf "$root.old"
[ -d "$root" ] && mv "$root" "$root.old"
mv "$new" "$root"
rm -rf "$root.old"
echo "setup: 32-bit Wine root made ($(du -sh "$root" | cut -f1))"
