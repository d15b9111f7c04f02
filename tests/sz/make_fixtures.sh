#!/usr/bin/env bash
# Makes the source trees and the 7z archives the extraction tests read,
# with the real 7zz, into the folder given (the tests' build folder).
# Every tree is made from deterministic content or from the wine64
# package's libraries (real x86-64 code for the branch filters).
set -euo pipefail
export LC_ALL=C.UTF-8

out="$1"
rm -rf "$out"
mkdir -p "$out"
cd "$out"

pack() {  # pack ARCHIVE TREE [7zz switches...]
  local archive="$1" tree="$2"
  shift 2
  (cd "$tree" && 7zz a -bd -bso0 -bsp0 "$@" "$out/$archive" .)
}

# The main tree: text, x86-64 binaries, empty files, an empty folder,
# nested and Unicode names, bytes of every value.
mkdir -p src/bin src/nested/deeper/deepest src/nested/emptydir "src/Ünïcödé" src/data
seq 1 40000 > src/readme.txt
: > src/empty.bin
: > src/nested/empty-too.txt
echo "leaf" > src/nested/deeper/deepest/leaf.txt
printf 'καλημέρα\n' > "src/Ünïcödé/日本語のファイル.txt"
printf 'x%.0s' $(seq 1 3000) > "src/Ünïcödé/Ελληνικά.dat"
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
for dll in kernel32.dll user32.dll; do
  if [ -f "$wine_dlls/$dll" ]; then cp "$wine_dlls/$dll" src/bin/; fi
done
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "%c", (i * 7 + int(i / 256)) % 256 }' > src/data/pattern.bin

# One archive a chain: name:switches, switches joined with '+'.
for chain in lzma:-m0=LZMA lzma2:-m0=LZMA2 copy:-m0=Copy nonsolid:-ms=off bcj:-m0=LZMA2+-mf=BCJ \
             bcj2:-mf=BCJ2 delta:-mf=Delta:4 ppmd:-m0=PPMd password:-pzul+-mhe=off \
             password_he:-pzul+-mhe=on; do
  switches="${chain#*:}"
  pack "${chain%%:*}.7z" src ${switches//+/ }
done

# A small text-only tree for the corruption sweeps.
mkdir -p src_small/sub
seq 1 3000 > src_small/one.txt
seq 5000 7000 > src_small/sub/two.txt
echo "three" > src_small/sub/three.txt
pack small.7z src_small -m0=LZMA2

# Folders only.
mkdir -p src_dirs/a/b/c src_dirs/d "src_dirs/ü"
pack dirs.7z src_dirs

# Archives that carry no data: nothing at all (7zz writes the bare 32-byte
# start header), only empty files (no folder), and one item without a name
# (7zz stores none for standard input).
mkdir -p src_nothing src_emptyfiles
pack nothing.7z src_nothing
: > src_emptyfiles/a.txt
: > src_emptyfiles/b.txt
pack emptyfiles.7z src_emptyfiles
echo "an item without a name" | 7zz a -bd -bso0 -si "$out/noname.7z"

# One file whose stored name the tests overwrite with hostile names: an
# uncompressed header keeps the name's UTF-16 readable.
mkdir -p src_hostile
echo "must never leave the target folder" > src_hostile/PPPPPPPPPPPPPPPPPPPP
pack hostile.7z src_hostile -m0=Copy -mhc=off

# A name longer than 259 characters (nested folders).
long=src_long
for part in 1 2 3 4 5; do
  long="$long/folder-${part}-$(printf 'n%.0s' $(seq 1 50))"
done
mkdir -p "$long"
echo "deep" > "$long/file.txt"
pack longname.7z src_long

# The archive compiled into the test executable's resources.
mkdir -p src_res/img
echo '<Window size="400,300"/>' > src_res/main.xml
seq 1 500 > src_res/img/lines.txt
pack skin.7z src_res

# Independent LZMA2 blocks of 1 MiB, for the multi-threaded decoder: a dozen
# blocks of text and x86-64 code, one folder behind the branch filter, the
# header left uncompressed so that the tests can rewrite sizes and CRCs in it.
mkdir -p src_mt/bin src_mt/text
seq 1 1200000 > src_mt/text/numbers.txt
seq 1 3 600000 | sed 's/$/ and a line of words after the number/' > src_mt/text/words.txt
cp src/bin/* src_mt/bin/ 2>/dev/null || true
cp src/data/pattern.bin src_mt/
pack mt.7z src_mt -m0=LZMA2:c=1m -mf=BCJ -mhc=off

# Two items that are one file on Windows (names that differ in case only):
# the longer one first in the archive, so the later, shorter one must
# replace it whole. Each in its own folder here; the archive names both
# "twice/Same.txt" in either case.
mkdir -p src_dup/twice
seq 1 20000 > src_dup/twice/Same.txt
echo "short" > src_dup/twice/SAME.TXT
(cd src_dup && 7zz a -bd -bso0 -bsp0 -mx=1 "$out/dup.7z" twice/Same.txt && 7zz a -bd -bso0 -bsp0 -mx=1 "$out/dup.7z" twice/SAME.TXT)

# One file of more than 100 MB.
mkdir -p src_big
seq 1 15000000 > src_big/big.txt
pack big.7z src_big -mx=3

touch fixtures.done
