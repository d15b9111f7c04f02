#!/usr/bin/env bash
# Installer benchmark (x86_64, under wine64), two figures from one run:
#  - startup: the time from process start to the first complete paint of the
#    installer's window (zulinst.exe with a folder, as a user opens it),
#    against a bare Win32 program that creates and paints one window of the
#    same size; both timed by the same probe, best of each;
#  - install: the install job's extraction of its payload (from the time
#    stamps of its log) against `7zz x -mmt=1` of the same archive. The
#    payload is the product's own plus, standing in for the emulator's
#    libraries, real Windows binaries (Wine's own DLLs, about 150 MB), put
#    into a copy of zulinst.exe as its resource 130.
#
#   scripts/bench/startup.sh
#
# From a clean clone: set-up, build, Wine prefix and display are made as
# needed. The payload is made under $ZUL_BENCH_DIR (default
# /tmp/zul-bench-startup) and reused while the build's own payload stays the
# same, also by runs at the same time (scripts/bench/cache.bash).
# ZUL_BENCH_RUNS sets the rounds (default 5); ZUL_BENCH_TINY=1 makes a tiny
# run (a payload of a few MB, made in the run's own folder, one round) that
# only proves the benchmark works.
# Last line printed:
#   startup_ratio_vs_bare=<installer / bare> install_ratio_vs_7zz=<7zz time / job time> identical=<yes|no>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh"
source "$here/../env.sh"
source "$here/cache.bash"

tiny="${ZUL_BENCH_TINY:-}"
bench="${ZUL_BENCH_DIR:-/tmp/zul-bench-startup}"
runs="${ZUL_BENCH_RUNS:-5}"
# Time limit of each Wine run (seconds): a hang fails the benchmark.
limit=600
corpus_mb=150
# What one run makes for itself.
work=$(mktemp -d /tmp/zul-bench-startup.XXXXXX)
cleanup() {
  bench_cache_release
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$tiny" = 1 ]; then
  bench="$work/cache"
  runs=1
  corpus_mb=3
fi
build="$ZUL_ROOT/build/x86_64"
tools="$build/tests/install"
for need in "$build/install/zulinst.exe" "$tools/bench_bare_window.exe" "$tools/bench_startup_probe.exe" \
            "$tools/bench_swap_payload.exe" "$tools/powershell.exe"; do
  if [ ! -f "$need" ]; then
    echo "== building (x86_64)"
    zul_build x86_64 -DZUL_BUILD_TESTS=ON >/dev/null
    break
  fi
done

# The payload: the product payload's files and the corpus, packed as the
# build packs every archive (7zz a -t7z: solid LZMA2 with BCJ for programs).
archive="$bench/payload.7z"
make_payload() {  # FOLDER
  echo "== making the payload ($corpus_mb MB of Wine's DLLs beside the product's files)"
  mkdir -p "$1/stage/lib"
  7zz x -bd -bso0 -bsp0 -o"$1/stage" "$build/install/zulinst_payload.7z"
  # The launcher the installer starts at the end is the recording stand-in:
  # the real one would run on through the following rounds.
  cp "$tools/powershell.exe" "$1/stage/zulplay.exe"
  local total=0 dll size
  while IFS= read -r dll; do
    size=$(stat -L -c %s "$dll")
    [ $((total + size)) -gt $((corpus_mb * 1048576)) ] && break
    cp -L "$dll" "$1/stage/lib/"
    total=$((total + size))
  done < <(find -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows -maxdepth 1 -type f -name '*.dll' | sort)
  (cd "$1/stage" && 7zz a -t7z -bso0 -bsp0 "$1/payload.7z" .)
}
# Made again when the build's payload or stand-in changes.
inputs=$(cat "$build/install/zulinst_payload.7z" "$tools/powershell.exe" | sha1sum | cut -d' ' -f1)
bench_cache "$bench" "payload v3: $corpus_mb MB, build $inputs" make_payload
payload_bytes=$(du -sb --apparent-size "$bench/stage" | cut -f1)
payload_files=$(find "$bench/stage" -type f | wc -l)
echo "payload: $payload_files files, $((payload_bytes / 1048576)) MB, archive $(($(stat -c %s "$archive") / 1048576)) MB"

trap 'zul_env_stop; cleanup' EXIT
zul_env_start

winpath() { local p="${1//\//\\}"; echo "Z:$p"; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# The installer copy with the big payload (the firewall rule comes after the
# extraction this measures; the system has no powershell under Wine, which
# the installer logs and goes on).
cp "$build/install/zulinst.exe" "$work/zulinst.exe"
zul_wine_run "$limit" "$tools/bench_swap_payload.exe" "$(winpath "$work/zulinst.exe")" "$(winpath "$archive")"

log=$(find "$WINEPREFIX/drive_c/users" -maxdepth 1 -mindepth 1 -type d -not -name Public | head -n 1)/AppData/Roaming/zulplay/log/install.log
# Seconds of the day of the first log line whose message matches.
stamp_of() {
  tr -d '\r' < "$log" | awk -F'\t' -v want="$1" '$5 ~ want { split($2, t, ":"); print t[1] * 3600 + t[2] * 60 + t[3]; exit }'
}

probe() {
  zul_wine_run "$limit" "$tools/bench_startup_probe.exe" "$@" | tr -d '\r' | sed -n 's/^first_paint_ms=//p'
}

echo "== startup and install ($runs rounds)"
t_bare=""; t_inst=""; t_7zz=""; t_job=""; identical=yes
out="$work/out"
for round in $(seq "$runs"); do
  # Startup: the bare window, then the installer's window (nothing installed).
  ms=$(probe ZulBareWindow "$(winpath "$tools/bench_bare_window.exe")")
  [ -n "$ms" ] || { echo "the bare window was not seen" >&2; exit 1; }
  t_bare=$(best "$t_bare" "$ms")
  ms=$(probe KXZulMainFrame "$(winpath "$work/zulinst.exe")" 'path=C:\Bench')
  [ -n "$ms" ] || { echo "the installer's window was not seen" >&2; exit 1; }
  t_inst=$(best "$t_inst" "$ms")

  # Install: 7zz, then the installer unattended into a fresh folder.
  rm -rf "$out" "$log"
  mkdir -p "$out"
  sync
  t0=$(now); 7zz x -bd -bso0 -bsp0 -mmt=1 -o"$out/7zz" "$archive"; t1=$(now)
  t_7zz=$(best "$t_7zz" "$(elapsed "$t0" "$t1")")
  status=0
  zul_wine_run "$limit" "$work/zulinst.exe" "from=install|path=$(winpath "$out/ours")" 2>/dev/null || status=$?
  [ "$status" = 1 ] || { echo "the installer failed with exit code $status" >&2; exit 1; }
  # The launcher stand-in it started writes into the folder a moment later.
  for _ in $(seq 100); do [ -f "$out/ours/ZUL/zulplay.cmdline.txt" ] && break; sleep 0.1; done
  # From the end of the launcher check (the line before the first unpacked
  # item) to the extraction's result.
  begin=$(tr -d '\r' < "$log" | awk -F'\t' '$5 ~ /^\([0-9]+\):unzip / { print prev; exit } { split($2, t, ":"); prev = t[1] * 3600 + t[2] * 60 + t[3] }')
  end=$(stamp_of '^\([0-9]+\):onResult .*, 0$')
  [ -n "$begin" ] && [ -n "$end" ] || { echo "no extraction in the installer's log" >&2; exit 1; }
  t_job=$(best "$t_job" "$(elapsed "$begin" "$end")")
  # Beside the unpacked files: what the stand-in wrote down (line and folder).
  diff -r -q -x zulplay.cmdline.txt -x zulplay.cwd.txt "$out/7zz" "$out/ours/ZUL" >&2 || identical=no
done
rm -rf "$out"

awk -v bare="$t_bare" -v inst="$t_inst" -v z="$t_7zz" -v j="$t_job" -v b="$payload_bytes" -v same="$identical" 'BEGIN {
  mb = b / 1048576
  printf "startup: bare window %.0f ms, installer window %.0f ms (first complete paint, best of each)\n", bare, inst
  printf "install: 7zz x -mmt=1 %.2f s (%.0f MB/s), install job %.2f s (%.0f MB/s), files identical: %s\n",
         z, mb / z, j, mb / j, same
  printf "startup_ratio_vs_bare=%.3f install_ratio_vs_7zz=%.3f identical=%s\n", inst / bare, z / j, same
}'
# Installed files that differ from 7-Zip's are a failure, not a figure.
[ "$identical" = yes ]
