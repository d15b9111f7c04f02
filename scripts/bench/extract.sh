#!/usr/bin/env bash
# Extraction benchmark: our szextract tool (x86_64, under wine64) against
# 7-Zip's own extraction, single-threaded and multi-threaded, on two solid
# LZMA2 + BCJ archives of the same real binaries and documents: one packed
# as 7zz packs by default, one with independent LZMA2 blocks of 16 MiB (the
# block size the build packs its own archives with). A third archive holds
# the same files stored (7zz a -mx=0): unpacking it is the work on folders
# and files alone, with nothing to decode.
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
# Figures: one thread of ours (--threads=1) against 7zz x -mmt=1, and ours
# on every core against 7zz x on every core, on each archive (a ratio above 1
# means ours is faster), with the peak working set of each of our runs. The
# two also run single-threaded on the 16 MiB archive, once, for the record,
# and on the stored archive in every round (a line of its own).
# Last line printed:
#   extract_ratio_vs_7zz_mt1=<x> ratio_vs_7zz_mt=<y> peak_mb=<z> ratio_vs_7zz_mt_c16m=<u> peak_mb_c16m=<v> identical=<yes|no>
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
# What one run makes for itself (the extracted trees too): under $TMPDIR,
# /tmp by default; TMPDIR=/dev/shm keeps a busy disk out of the figures.
work=$(mktemp -d "${TMPDIR:-/tmp}/zul-bench-extract.XXXXXX")
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
archive16="$bench/corpus-c16m.7z"
archive0="$bench/corpus-stored.7z"
tool="${1:-$ZUL_ROOT/build/x86_64/tools/szextract.exe}"

if [ ! -f "$tool" ]; then
  echo "== building szextract (x86_64)"
  zul_build x86_64 -DZUL_BUILD_TESTS=ON >/dev/null
  cmake --build "$ZUL_ROOT/build/x86_64" --target szextract >/dev/null
fi

# Corpus: the wine64 package's libraries and the machine's documentation,
# copied with links resolved (at least 500 MB and 5,000 files); the tiny
# corpus takes a few MB of each. Packed beside it by 7zz a -mx=5 (LZMA2 + BCJ,
# solid), and again with 16 MiB blocks (-m0=LZMA2:c=16m).
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
  echo "== packing (7zz a -mx=5: LZMA2 + BCJ, solid; and with -m0=LZMA2:c=16m)"
  (cd "$corpus" && 7zz a -bd -bso0 -bsp0 -mx=5 "$1/corpus.7z" .)
  (cd "$corpus" && 7zz a -bd -bso0 -bsp0 -mx=5 -m0=LZMA2:c=16m "$1/corpus-c16m.7z" .)
  (cd "$corpus" && 7zz a -bd -bso0 -bsp0 -mx=0 "$1/corpus-stored.7z" .)
}
bench_cache "$bench" "corpus v5: wine libraries and documentation, 7zz a -mx=5, with c=16m, and -mx=0" make_corpus
files=$(find "$corpus" -type f | wc -l)
bytes=$(du -sb --apparent-size "$corpus" | cut -f1)
echo "corpus: $files files, $((bytes / 1048576)) MB"
if [ "$files" -lt "$min_files" ] || [ "$bytes" -lt $((min_mb * 1048576)) ]; then
  echo "corpus too small (need $min_files files and $min_mb MB)" >&2
  exit 1
fi

echo "archives: $(($(stat -c %s "$archive") / 1048576)) MB (7zz default), $(($(stat -c %s "$archive16") / 1048576)) MB (16 MiB blocks)"

trap 'zul_env_stop; cleanup' EXIT
zul_env_start

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
winpath() { local p="${1//\//\\}"; echo "Z:$p"; }

out="$work/out"
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# One run of ours into $out/NAME; its time goes to $work/NAME.t, its peak
# working set to $work/NAME.peak (the largest of the rounds). A failed or
# differing extraction makes identical=no.
identical=yes
ours() {  # NAME ARCHIVE [SZEXTRACT OPTIONS...]
  local name=$1 arc=$2 t0 t1 peak
  shift 2
  t0=$(now)
  zul_wine_run "$limit" "$tool" "$(winpath "$arc")" "$(winpath "$out/$name")" --peak "$@" \
    > "$work/$name.txt" || true
  t1=$(now)
  best "$(cat "$work/$name.t" 2>/dev/null)" "$(elapsed "$t0" "$t1")" > "$work/$name.t.new"
  mv "$work/$name.t.new" "$work/$name.t"
  tr -d '\r' < "$work/$name.txt"
  peak=$(tr -d '\r' < "$work/$name.txt" | sed -n 's/^peak_working_set=//p')
  [ "${peak:-0}" -gt "$(cat "$work/$name.peak" 2>/dev/null || echo 0)" ] && echo "$peak" > "$work/$name.peak"
  if ! tr -d '\r' < "$work/$name.txt" | grep -qx 'result=0' || ! diff -r -q "$out/mt1" "$out/$name" >/dev/null; then
    echo "$name: not the tree 7zz makes" >&2
    identical=no
  fi
  rm -rf "${out:?}/$name"
}
seven() {  # NAME ARCHIVE [7ZZ OPTIONS...]
  local name=$1 arc=$2 t0 t1
  shift 2
  t0=$(now)
  7zz x -bd -bso0 -bsp0 "$@" -o"$out/$name" "$arc"
  t1=$(now)
  best "$(cat "$work/$name.t" 2>/dev/null)" "$(elapsed "$t0" "$t1")" > "$work/$name.t.new"
  mv "$work/$name.t.new" "$work/$name.t"
}

# Each contender runs $runs times into fresh folders, in turn, and keeps its
# best time: other load on the machine only ever slows a run down.
echo "== extracting ($runs rounds)"
for round in $(seq "$runs"); do
  rm -rf "$out"
  mkdir -p "$out"
  sync
  seven mt1 "$archive" -mmt=1
  seven mt "$archive"
  if ! diff -r -q "$out/mt1" "$out/mt" >/dev/null; then identical=no; fi
  rm -rf "$out/mt"
  ours st "$archive" --threads=1
  ours all "$archive"
  seven mt16 "$archive16"
  rm -rf "$out/mt16"
  ours all16 "$archive16"
  seven mt0 "$archive0"
  rm -rf "$out/mt0"
  ours all0 "$archive0"
  if [ "$round" = 1 ]; then
    seven mt1_16 "$archive16" -mmt=1
    rm -rf "$out/mt1_16"
    ours st16 "$archive16" --threads=1
  fi
done
rm -rf "$out"

t() { cat "$work/$1.t"; }
mb() { awk -v p="$(cat "$work/$1.peak" 2>/dev/null || echo 0)" 'BEGIN { printf "%.1f", p / 1048576 }'; }
awk -v b="$bytes" -v m1="$(t mt1)" -v mt="$(t mt)" -v st="$(t st)" -v all="$(t all)" \
    -v mt16="$(t mt16)" -v all16="$(t all16)" -v m1_16="$(t mt1_16)" -v st16="$(t st16)" 'BEGIN {
  mb = b / 1048576
  printf "7zz default blocks: 7zz -mmt=1 %.2f s, ours --threads=1 %.2f s; 7zz %.2f s (%.0f MB/s), ours %.2f s (%.0f MB/s)\n",
         m1, st, mt, mb / mt, all, mb / all
  printf "16 MiB blocks: 7zz -mmt=1 %.2f s, ours --threads=1 %.2f s; 7zz %.2f s (%.0f MB/s), ours %.2f s (%.0f MB/s)\n",
         m1_16, st16, mt16, mb / mt16, all16, mb / all16
}'
echo "stored, the folders and files alone: 7zz $(t mt0) s, ours $(t all0) s"
echo "peak working set: $(mb st) MB on one thread, $(mb all) MB on every core; 16 MiB blocks: $(mb st16) MB, $(mb all16) MB"
awk -v m1="$(t mt1)" -v st="$(t st)" -v mt="$(t mt)" -v all="$(t all)" -v mt16="$(t mt16)" -v all16="$(t all16)" \
    -v p="$(mb all)" -v p16="$(mb all16)" -v same="$identical" 'BEGIN {
  printf "extract_ratio_vs_7zz_mt1=%.3f ratio_vs_7zz_mt=%.3f peak_mb=%s ratio_vs_7zz_mt_c16m=%.3f peak_mb_c16m=%s identical=%s\n",
         m1 / st, mt / all, p, mt16 / all16, p16, same
}'
# Files that differ from 7-Zip's are a failure, not a figure.
[ "$identical" = yes ]
