#!/usr/bin/env bash
# Mark-up text benchmark: layout and drawing of one 20,000-character mark-up
# text (words, tags, line and paragraph breaks, word breaking) by the drawing
# kit, in the x86_64 build under wine64 and Xvfb. Best of 5 rounds; the
# program checks what each round drew (tests/skinui/markup_bench.cpp).
#
#   scripts/bench/markup.sh
#
# Runs from a clean clone: set-up, then the x86_64 build (build/x86_64 of the
# clone), then the benchmark in a fresh Wine prefix. With ZUL_BENCH_TINY=1 the
# text has 1,000 characters (two rounds, so that they can be compared), for CI.
# Last line printed:
#   markup_20k_ms=<milliseconds> identical=<yes|no>   (markup_1k_ms with ZUL_BENCH_TINY=1)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh"
source "$here/../env.sh"

chars=20000
rounds=5
if [ "${ZUL_BENCH_TINY:-}" = 1 ]; then
  chars=1000
  rounds=2
fi
# What one run makes for itself.
work=$(mktemp -d /tmp/zul-bench-markup.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== build x86_64"
if ! zul_build x86_64 -DZUL_BUILD_TESTS=ON >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  exit 1
fi
bench="$ZUL_ROOT/build/x86_64/tests/skinui/skinui_markup_bench.exe"

trap 'zul_env_stop; rm -rf "$work"' EXIT
zul_env_start
echo "== mark-up text of $chars characters ($rounds rounds)"
# A hang fails the benchmark.
status=0
zul_wine_run 600 "$bench" "$chars" "$rounds" | tr -d '\r' >"$work/out.txt" || status=$?
cat "$work/out.txt"
# A drawing that is wrong or differs between rounds is a failure, not a figure.
[ "$status" = 0 ] && tail -n 1 "$work/out.txt" | grep -q ' identical=yes$'
