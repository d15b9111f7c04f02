#!/usr/bin/env bash
# Mark-up text benchmark: layout and drawing of one 20,000-character mark-up
# text (words, tags, line and paragraph breaks, word breaking) by the drawing
# kit, in the x86_64 build under wine64 and Xvfb. Best of 5 rounds.
#
#   scripts/bench/markup.sh
#
# Runs from a clean clone: set-up, then the x86_64 build (build/x86_64 of the
# clone), then the benchmark in a fresh Wine prefix. With ZUL_BENCH_TINY=1 the
# text has 1,000 characters (one round), for CI.
# Last line printed:
#   markup_20k_ms=<milliseconds>    (markup_1k_ms with ZUL_BENCH_TINY=1)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/../setup.sh"
source "$here/../env.sh"

chars=20000
rounds=5
if [ "${ZUL_BENCH_TINY:-}" = 1 ]; then
  chars=1000
  rounds=1
fi

echo "== build x86_64"
build_log="$(mktemp /tmp/zul-bench-markup.XXXXXX)"
if ! zul_build x86_64 -DZUL_BUILD_TESTS=ON >"$build_log" 2>&1; then
  tail -40 "$build_log"
  rm -f "$build_log"
  exit 1
fi
rm -f "$build_log"
bench="$ZUL_ROOT/build/x86_64/tests/skinui/skinui_markup_bench.exe"

trap zul_env_stop EXIT
zul_env_start
echo "== mark-up text of $chars characters ($rounds rounds)"
# A hang fails the benchmark.
zul_wine_run 600 "$bench" "$chars" "$rounds" | tr -d '\r'
