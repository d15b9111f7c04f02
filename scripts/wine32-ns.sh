#!/usr/bin/env bash
# Runs a command where 32-bit Wine works on this machine: a Debian root with
# 32-bit Wine and qemu-i386 (made by scripts/setup-wine32.sh), entered inside a
# private user, mount and PID namespace whose own binfmt_misc hands every
# 32-bit ELF program to that qemu-i386. The host's binfmt_misc is not touched,
# and nothing started inside outlives the command.
#   wine32-ns.sh COMMAND [ARGS...]   run COMMAND in the root; the clone is
#                                    bind-mounted at its own path, /tmp is private
#   wine32-ns.sh --probe             exit 0 when this machine offers a private
#                                    binfmt_misc; otherwise print why in one line
# The root lives in ZUL_WINE32_ROOT (default /var/cache/zul-deps/wine32-root).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root_clone="$(cd "$here/.." && pwd)"
root="${ZUL_WINE32_ROOT:-${ZUL_DEPS_DIR:-/var/cache/zul-deps}/wine32-root}"

# A private binfmt_misc needs user namespaces and a kernel of 6.7 or later.
probe() {
  local why
  if ! why=$(unshare --user --map-root-user --mount --pid --fork sh -c \
      'mount -t proc proc /proc && mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>&1); then
    why=$(echo "${why:-refused}" | tr '\n' ' ' | sed 's/ *$//')
    echo "no private binfmt_misc on this machine (kernel $(uname -r); it needs Linux 6.7 or later with user namespaces): $why"
    return 1
  fi
}
if [ "${1:-}" = --probe ]; then probe; exit; fi
[ $# -gt 0 ] || { echo "usage: wine32-ns.sh COMMAND [ARGS...] | --probe" >&2; exit 2; }
[ -x "$root/usr/bin/env" ] || { echo "wine32-ns: no 32-bit Wine root at $root (scripts/setup.sh makes it)" >&2; exit 1; }

run_dir=$(mktemp -d /tmp/zul-wine32.XXXXXX)
ns_pid=
# However this script ends, the namespace ends with it: killing its first
# process ends every process inside.
finish() {
  local first
  first=$(cat "/proc/$ns_pid/task/$ns_pid/children" 2>/dev/null || true)
  [ -z "$first" ] || kill -KILL $first 2>/dev/null || true
  rm -rf "$run_dir"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
mkdir -m 1777 "$run_dir/tmp"
printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost\n' "$(uname -n)" > "$run_dir/hosts"

# Inside the namespace, bash stays process 1 (xvfb-run, for one, waits for ever
# in that place), builds the mounts and runs the command in the root with a
# clean environment.
inner='
set -eu
read -r _ < "$0"
root=$1 run_dir=$2 clone=$3 cwd=$4; shift 4
mount -t proc proc /proc
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# i386 ELF executables go to qemu-i386; P keeps argv[0], F opens qemu now.
if [ -x "$root/usr/bin/qemu-i386" ]; then
  printf ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:%s:PF" \
    "$root/usr/bin/qemu-i386" > /proc/sys/fs/binfmt_misc/register
fi
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
mount --bind "$run_dir/tmp" "$root/tmp"
mount --bind "$run_dir/hosts" "$root/etc/hosts"
mkdir -p "$root$clone"
mount --bind "$clone" "$root$clone"
keep=()
for v in $(compgen -e); do
  case $v in ZUL_*|CI|CTEST_*|DEBIAN_FRONTEND) keep+=("$v=${!v}") ;; esac
done
status=0
chroot "$root" /usr/bin/env -i --chdir="$cwd" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  HOME=/tmp LANG=C.UTF-8 TERM="${TERM:-dumb}" "${keep[@]}" "$@" || status=$?
exit "$status"
'
# The command starts in the current folder when it is inside the clone.
cwd=/
case "$PWD/" in "$root_clone"/*) cwd=$PWD ;; esac
go="$run_dir/go"
mkfifo "$go"
unshare --user --mount --pid --fork --kill-child bash -c "$inner" "$go" "$root" "$run_dir" "$root_clone" "$cwd" "$@" &
ns_pid=$!
# The identity map gives the namespace's root the host's users and groups, so
# files made inside keep their real owners.
for _ in $(seq 250); do
  [ "$(readlink "/proc/$ns_pid/ns/user" 2>/dev/null)" != "$(readlink /proc/self/ns/user)" ] && break
  sleep 0.02
done
echo "0 0 4294967295" > "/proc/$ns_pid/uid_map"
echo "0 0 4294967295" > "/proc/$ns_pid/gid_map"
echo go > "$go"
status=0
wait "$ns_pid" || status=$?
exit "$status"
