#!/usr/bin/env bash
# Set-up, build both targets, run every test under 64-bit Wine and Xvfb.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/env.sh"

echo "== build x86_64"; zul_build x86_64
echo "== build i686";   zul_build i686 -DZUL_BUILD_TESTS=OFF

trap zul_env_stop EXIT
zul_env_start
echo "== tests (wine64, display $DISPLAY)"
ctest --test-dir "$ZUL_ROOT/build/x86_64" -j"$(nproc)" --output-on-failure --timeout 600

echo "== demo screenshot"
"$here/screenshot-demo.sh" "$ZUL_ROOT/build/x86_64" "$ZUL_ROOT/build/artifacts/skinui_demo.png"

# Benchmarks: each scripts/bench/*.sh runs once at a tiny size, so that a
# broken benchmark fails CI. The convention for every benchmark, present and
# future: it runs from a clean clone on a fresh machine with its one command
# (it makes the set-up, build, Wine prefix and display it needs itself);
# ZUL_BENCH_TINY=1 selects a tiny size (a few MB); and the last line it prints
# is its figure line (key=value pairs), tiny or not.
echo "== benchmarks (tiny)"
for bench in "$here"/bench/*.sh; do
  out=$(ZUL_BENCH_TINY=1 bash "$bench" 2>&1) || { printf '%s\n' "$out"; echo "benchmark failed: $bench"; exit 1; }
  figure=$(printf '%s\n' "$out" | tail -n 1)
  case "$figure" in
    *=*) echo "$(basename "$bench"): $figure" ;;
    *) printf '%s\n' "$out"; echo "benchmark printed no figure line: $bench"; exit 1 ;;
  esac
done
