#!/usr/bin/env bash
# Download benchmark: one 1 GiB file served by nginx on a loopback port, fetched
# in turn by the WinINet downloader, the curl downloader (both through zuldl,
# the x86_64 build under wine64), a bare WinINet read loop (the platform's
# ceiling for that path) and the curl command-line tool.
#
# Usage: scripts/bench/download.sh   (from a clean clone: set-up, build, Wine
# prefix and display are made as needed)
# ZUL_BENCH_SIZE_MB sets the file size (default 1024); ZUL_BENCH_TINY=1 a
# tiny run (4 MiB, one round) that only proves the benchmark works.
# The curl downloader caps its speed at 20 MiB/s; the curl tool gets the same
# cap so that the ratio compares like with like.
# Last line printed:
#   download_ratio_wininet=<x> download_ratio_curl=<y> peak_mb=<z> identical=<yes|no>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh" >&2
source "$here/../env.sh"
source "$here/nginx.bash"

size_mb=${ZUL_BENCH_SIZE_MB:-1024}
rounds=5
if [ "${ZUL_BENCH_TINY:-}" = 1 ]; then
  size_mb=4
  rounds=1
fi
cap=20971520
# Time limit of each run (seconds): a hang fails the benchmark.
limit=900

echo "bench: building zuldl (x86_64)" >&2
zul_build x86_64 -DZUL_BUILD_TESTS=ON >/dev/null
zuldl="$ZUL_ROOT/build/x86_64/tests/launcher/zuldl.exe"

work=$(mktemp -d /tmp/zul-bench.XXXXXX)
cleanup() {
  bench_nginx_stop
  rm -rf "$work"
  zul_env_stop
}
trap cleanup EXIT
zul_env_start

mkdir -p "$work/www" "$work/out" "$work/nginx"
# nginx's workers run as an unprivileged user when it is started as root.
chmod 755 "$work" "$work/www"
echo "bench: making a ${size_mb} MiB file" >&2
head -c $((size_mb * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
chmod 644 "$work/www/big.bin"

bench_nginx_start "$work/www" "$work" big.bin
url=$bench_url

run_tool() {  # mode -> prints "seconds peak_mb"
  local mode=$1 line
  # Start each run without the previous run's pages still being written out.
  rm -f "$work/out/$mode.bin"
  sync
  line=$(zul_wine_run "$limit" "$zuldl" "$mode" "$url" "$(winpath "$work/out/$mode.bin")" | tr -d '\r')
  echo "bench: $line" >&2
  case "$line" in *ok=1*) ;; *) echo "bench: $mode failed" >&2; exit 1 ;; esac
  local secs peak
  secs=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$line")
  peak=$(sed -n 's/.*peak_mb=\([0-9.]*\).*/\1/p' <<<"$line")
  echo "$secs $peak"
}

# The WinINet runs take seconds and the machine may be busy: best of five,
# taken in turns so that both paths see the same conditions.
t_wininet=""; t_bare=""; peak_wininet=0; ok_wininet=yes; ok_bare=yes
for _ in $(seq "$rounds"); do
  t=""; read -r t p < <(run_tool wininet)
  [ -n "$t" ] || exit 1
  cmp -s "$work/www/big.bin" "$work/out/wininet.bin" || ok_wininet=no
  t_wininet=$(awk -v a="$t_wininet" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
  peak_wininet=$(awk -v a="$peak_wininet" -v b="$p" 'BEGIN { print (b > a) ? b : a }')
  t=""; read -r t _ < <(run_tool bare)
  [ -n "$t" ] || exit 1
  cmp -s "$work/www/big.bin" "$work/out/bare.bin" || ok_bare=no
  t_bare=$(awk -v a="$t_bare" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
done
rm -f "$work/out/wininet.bin" "$work/out/bare.bin"
t_curl=""; read -r t_curl peak_curl < <(run_tool curl)
[ -n "$t_curl" ] || exit 1
cmp -s "$work/www/big.bin" "$work/out/curl.bin" && ok_curl=yes || ok_curl=no
rm -f "$work/out/curl.bin"

start=$(date +%s.%N)
curl -s -m "$limit" --limit-rate "$cap" -o "$work/out/cli.bin" "$url"
t_cli=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
echo "bench: mode=curl-cli seconds=$t_cli (rate capped at $cap B/s)" >&2
cmp -s "$work/www/big.bin" "$work/out/cli.bin" && ok_cli=yes || ok_cli=no
rm -f "$work/out/cli.bin"
# For information: what the cap costs.
start=$(date +%s.%N)
curl -s -m "$limit" -o "$work/out/cli-uncapped.bin" "$url"
echo "bench: mode=curl-cli-uncapped seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')" >&2

identical=no
if [ "$ok_wininet$ok_bare$ok_curl$ok_cli" = yesyesyesyes ]; then identical=yes; fi
# Ratios of throughput: above 1 means ours was faster than the reference.
ratio_wininet=$(awk -v r="$t_bare" -v o="$t_wininet" 'BEGIN { printf "%.3f", r / o }')
ratio_curl=$(awk -v r="$t_cli" -v o="$t_curl" 'BEGIN { printf "%.3f", r / o }')
peak=$(awk -v a="$peak_wininet" -v b="$peak_curl" 'BEGIN { printf "%.1f", (a > b ? a : b) }')
echo "download_ratio_wininet=$ratio_wininet download_ratio_curl=$ratio_curl peak_mb=$peak identical=$identical"
# A download that differs from the served file is a failure, not a figure.
[ "$identical" = yes ]
