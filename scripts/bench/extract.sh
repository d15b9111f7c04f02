#!/usr/bin/env bash
# Extraction benchmark: our szextract tool (x86_64, under wine64) against
# 7-Zip's own extraction, single-threaded and multi-threaded, on one solid
# LZMA2 + BCJ archive of real binaries and documents.
#
#   scripts/bench/extract.sh [SZEXTRACT_EXE]
#
# From a clean clone: set-up, build, Wine prefix and display are made as
# needed. The tool defaults to build/x86_64/tools/szextract.exe.
# Corpus and archive are made once under $ZUL_BENCH_DIR (default
# /tmp/zul-bench-extract), outside the clone, and reused by later runs, also
# by runs at the same time (scripts/bench/cache.bash).
# ZUL_BENCH_RUNS sets the number of rounds (default 3; best time of each).
# ZUL_BENCH_TINY=1 makes a tiny run instead (a corpus of a few MB of the same
# kinds of files, made in the run's own folder, one round) that only proves
# the benchmark works.
# Last line printed:
#   extract_ratio_vs_7zz_mt1=<x> ratio_vs_7zz_mt=<y> peak_mb=<z> identical=<yes|no>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh"
source "$here/../env.sh"
source "$here/cache.bash"

tiny="${ZUL_BENCH_TINY:-}"
bench="${ZUL_BENCH_DIR:-/tmp/zul-bench-extract}"
runs="${ZUL_BENCH_RUNS:-3}"
# Time limit of each run of the tool (seconds): a hang fails the benchmark.
limit=900
min_files=5000
min_mb=500
# What one run makes for itself.
work=$(mktemp -d /tmp/zul-bench-extract.XXXXXX)
cleanup() {
  bench_cache_release
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$tiny" = 1 ]; then
  bench="$work/cache"
  runs=1
  min_files=20
  min_mb=2
fi
corpus="$bench/corpus"
archive="$bench/corpus.7z"
tool="${1:-$ZUL_ROOT/build/x86_64/tools/szextract.exe}"

if [ ! -f "$tool" ]; then
  echo "== building szextract (x86_64)"
  zul_build x86_64 -DZUL_BUILD_TESTS=ON >/dev/null
  cmake --build "$ZUL_ROOT/build/x86_64" --target szextract >/dev/null
fi

# Corpus: the wine64 package's libraries and the machine's documentation,
# copied with links resolved (at least 500 MB and 5,000 files); the tiny
# corpus takes a few MB of each. Packed beside it by 7zz a -mx=5 (LZMA2 + BCJ,
# solid).
make_corpus() {  # FOLDER
  local corpus="$1/corpus"
  echo "== building the corpus in $bench"
  mkdir -p "$corpus"
  if [ "$tiny" = 1 ]; then
    mkdir -p "$corpus/wine" "$corpus/doc"
    find /usr/lib/x86_64-linux-gnu/wine -type f -name '*.dll' -size -400k | head -n 20 |
      xargs -r cp -L -t "$corpus/wine" 2>/dev/null || true
    find /usr/share/doc -type f | head -n 200 | xargs -r cp -L --backup=numbered -t "$corpus/doc" 2>/dev/null || true
  else
    cp -rL /usr/lib/x86_64-linux-gnu/wine "$corpus/wine" 2>/dev/null || true
    cp -rL /usr/share/doc "$corpus/doc" 2>/dev/null || true
  fi
  # Windows names are case-insensitive: keep one of "Index.html" and "index.html".
  find "$corpus" -depth | awk '{ if (seen[tolower($0)]++) print }' | while IFS= read -r path; do
    rm -rf "$path"
  done
  echo "== packing (7zz a -mx=5: LZMA2 + BCJ, solid)"
  (cd "$corpus" && 7zz a -bd -bso0 -bsp0 -mx=5 "$1/corpus.7z" .)
}
bench_cache "$bench" "corpus v3: wine libraries and documentation, 7zz a -mx=5" make_corpus
files=$(find "$corpus" -type f | wc -l)
bytes=$(du -sb --apparent-size "$corpus" | cut -f1)
echo "corpus: $files files, $((bytes / 1048576)) MB"
if [ "$files" -lt "$min_files" ] || [ "$bytes" -lt $((min_mb * 1048576)) ]; then
  echo "corpus too small (need $min_files files and $min_mb MB)" >&2
  exit 1
fi

echo "archive: $(($(stat -c %s "$archive") / 1048576)) MB"

trap 'zul_env_stop; cleanup' EXIT
zul_env_start

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
winpath() { local p="${1//\//\\}"; echo "Z:$p"; }

out="$work/out"
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# Each contender runs $runs times into fresh folders, in turn, and keeps its
# best time: other load on the machine only ever slows a run down.
echo "== extracting ($runs rounds)"
t_mt1=""; t_mt=""; t_ours=""; identical=yes; peak_bytes=0
for round in $(seq "$runs"); do
  rm -rf "$out"
  mkdir -p "$out"
  sync
  t0=$(now); 7zz x -bd -bso0 -bsp0 -mmt=1 -o"$out/mt1" "$archive"; t1=$(now)
  7zz x -bd -bso0 -bsp0 -o"$out/mt" "$archive"; t2=$(now)
  zul_wine_run "$limit" "$tool" "$(winpath "$archive")" "$(winpath "$out/ours")" --peak \
    > "$work/ours.txt" || true
  t3=$(now)
  t_mt1=$(best "$t_mt1" "$(elapsed "$t0" "$t1")")
  t_mt=$(best "$t_mt" "$(elapsed "$t1" "$t2")")
  t_ours=$(best "$t_ours" "$(elapsed "$t2" "$t3")")
  tr -d '\r' < "$work/ours.txt"
  peak=$(tr -d '\r' < "$work/ours.txt" | sed -n 's/^peak_working_set=//p')
  [ "${peak:-0}" -gt "$peak_bytes" ] && peak_bytes=$peak
  if ! tr -d '\r' < "$work/ours.txt" | grep -qx 'result=0' ||
     ! diff -r -q "$out/mt1" "$out/ours" >/dev/null || ! diff -r -q "$out/mt1" "$out/mt" >/dev/null; then
    identical=no
  fi
done
rm -rf "$out"

awk -v m1="$t_mt1" -v mt="$t_mt" -v o="$t_ours" -v b="$bytes" -v p="$peak_bytes" -v same="$identical" 'BEGIN {
  mb = b / 1048576
  printf "seconds: 7zz -mmt=1 %.2f (%.0f MB/s), 7zz %.2f (%.0f MB/s), szextract %.2f (%.0f MB/s)\n",
         m1, mb / m1, mt, mb / mt, o, mb / o
  printf "extract_ratio_vs_7zz_mt1=%.3f ratio_vs_7zz_mt=%.3f peak_mb=%.1f identical=%s\n",
         m1 / o, mt / o, p / 1048576, same
}'
# Files that differ from 7-Zip's are a failure, not a figure.
[ "$identical" = yes ]
