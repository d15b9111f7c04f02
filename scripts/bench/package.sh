#!/usr/bin/env bash
# Package benchmark: the launcher's emulator-package path against its
# reference, on one package of about 500 MB served by nginx on a loopback port.
#   ours:      zuldl package (x86_64 build under wine64): the WinINet downloader
#              into a partial file with the main window's progress sink, moved
#              onto the package, then unpacked by the 7z layer
#   reference: a bare WinINet read loop (zuldl bare, the platform's ceiling for
#              the download) plus 7-Zip's own extraction on one thread
#              (7zz x -mmt=1, native)
#
# Usage: scripts/bench/package.sh   (from a clean clone: set-up, build, Wine
# prefix and display are made as needed)
# The package is made once under $ZUL_BENCH_DIR (default /tmp/zul-bench-package),
# outside the clone, and reused, also by runs at the same time
# (scripts/bench/cache.bash): the Windows libraries of the wine package (real
# binaries) and 400 MiB of incompressible "disk image" bytes, packed by 7zz -mx=5.
# ZUL_BENCH_ROUNDS sets the rounds (default 2; best time of each side, taken in
# turns). ZUL_BENCH_TINY=1 makes a tiny run (a few MB, made in the run's own
# folder, one round) that only proves the benchmark works.
# Last line printed:
#   package_ratio=<reference time / our time> peak_mb=<ours> identical=<yes|no>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh" >&2
source "$here/../env.sh"
source "$here/nginx.bash"
source "$here/cache.bash"

bench="${ZUL_BENCH_DIR:-/tmp/zul-bench-package}"
rounds="${ZUL_BENCH_ROUNDS:-2}"
# Time limit of each Wine run (seconds): a hang fails the benchmark.
limit=900
image_mb=400
# What one run makes for itself. nginx's workers run as an unprivileged user
# when it is started as root: the tiny package is served from in here.
work=$(mktemp -d /tmp/zul-bench-pkg.XXXXXX)
chmod 755 "$work"
cleanup() {
  bench_nginx_stop
  bench_cache_release
  rm -rf "$work"
}
trap cleanup EXIT
if [ "${ZUL_BENCH_TINY:-}" = 1 ]; then
  bench="$work/cache"
  rounds=1
  image_mb=2
fi

echo "bench: building zuldl (x86_64)" >&2
zul_build x86_64 -DZUL_BUILD_TESTS=ON >/dev/null
zuldl="$ZUL_ROOT/build/x86_64/tests/launcher/zuldl.exe"

# The package, made once; nginx's workers read it.
package="$bench/www/package.7z"
make_package() {  # FOLDER
  echo "bench: making the package in $bench" >&2
  mkdir -p "$1/corpus/bin" "$1/corpus/vm" "$1/www"
  if [ "${ZUL_BENCH_TINY:-}" = 1 ]; then
    find /usr/lib/x86_64-linux-gnu/wine/x86_64-windows -name '*.dll' -size -300k | head -n 20 |
      xargs -r cp -L -t "$1/corpus/bin" || true  # find ends early once head has enough
  else
    cp -rL /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/. "$1/corpus/bin/"
  fi
  head -c $((image_mb * 1024 * 1024)) /dev/urandom >"$1/corpus/vm/disk.img"
  echo 1000 >"$1/corpus/playerversion"
  (cd "$1/corpus" && 7zz a -t7z -bd -bso0 -bsp0 -mx=5 "$1/www/package.7z" .)
  chmod 755 "$1" "$1/www"
  chmod 644 "$1/www/package.7z"
}
bench_cache "$bench" "package v3: wine's x86_64 libraries and $image_mb MiB of random bytes, 7zz a -mx=5" make_package
echo "bench: package $(($(stat -c %s "$package") / 1048576)) MB, $(find "$bench/corpus" -type f | wc -l) files" >&2

trap 'zul_env_stop; cleanup' EXIT
zul_env_start

bench_nginx_start "$bench/www" "$work" package.7z
url=$bench_url
field() { grep -o "\b$1=[0-9.]*" <<<"$2" | head -n 1 | cut -d= -f2; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

t_ours=""; t_ref=""; peak=0; identical=yes
for round in $(seq "$rounds"); do
  # Each side starts without the other's files still being written out.
  rm -rf "$work/ours" "$work/ref" "$work/ours.7z" "$work/ref.7z"
  sync
  line=$(zul_wine_run "$limit" "$zuldl" package "$url" "$(winpath "$work/ours.7z")" \
         "$(winpath "$work/ours")" | tr -d '\r')
  echo "bench: round $round: $line" >&2
  case "$line" in *ok=1*) ;; *) echo "bench: the launcher's package path failed" >&2; exit 1 ;; esac
  t_ours=$(best "$t_ours" "$(field seconds "$line")")
  peak=$(awk -v a="$peak" -v b="$(field peak_mb "$line")" 'BEGIN { print (b > a) ? b : a }')
  sync

  line=$(zul_wine_run "$limit" "$zuldl" bare "$url" "$(winpath "$work/ref.7z")" | tr -d '\r')
  case "$line" in *ok=1*) ;; *) echo "bench: the bare download failed" >&2; exit 1 ;; esac
  start=$(date +%s.%N)
  7zz x -bd -bso0 -bsp0 -mmt=1 -o"$work/ref" "$work/ref.7z"
  t_unpack=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
  t=$(awk -v a="$(field seconds "$line")" -v b="$t_unpack" 'BEGIN { printf "%.3f", a + b }')
  echo "bench: round $round: reference download=$(field seconds "$line") unpack=$t_unpack seconds=$t" >&2
  t_ref=$(best "$t_ref" "$t")

  cmp -s "$package" "$work/ours.7z" || identical=no
  cmp -s "$package" "$work/ref.7z" || identical=no
  diff -rq "$work/ours" "$work/ref" >&2 || identical=no
  diff -rq "$bench/corpus" "$work/ours" >&2 || identical=no
done

ratio=$(awk -v r="$t_ref" -v o="$t_ours" 'BEGIN { printf "%.3f", r / o }')
echo "bench: ours ${t_ours}s, reference ${t_ref}s" >&2
echo "package_ratio=$ratio peak_mb=$(awk -v p="$peak" 'BEGIN { printf "%.1f", p }') identical=$identical"
# Files that differ from the reference's are a failure, not a figure.
[ "$identical" = yes ]
