#!/usr/bin/env bash
# Set-up, build both targets, run every test on both: the x86_64 build under
# 64-bit Wine, then the i686 build (the deliverable) under 32-bit Wine emulated
# by qemu-i386, each with its own prefix and Xvfb; then the i686 programs as
# they ship, end to end, and a signed release from a test deployment; then
# every benchmark at a tiny size.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/env.sh"

wine32_why=$(zul_wine32_why)
echo "== build x86_64"; zul_build x86_64 -DZUL_BUILD_TESTS=ON
if [ -z "$wine32_why" ]; then
  echo "== build i686"; zul_build i686 -DZUL_BUILD_TESTS=ON
else
  echo "== build i686 (no tests)"; zul_build i686 -DZUL_BUILD_TESTS=OFF
fi

status=0
echo "== shipped build i686 (optimised, stripped, nothing only tests use)"
zul_build_shipped i686 || status=1

start=$SECONDS
zul_test x86_64 || status=1
echo "== x86_64 suite: $((SECONDS - start)) s"

if [ -n "$wine32_why" ]; then
  echo "== i686 tests not run: $wine32_why"
  # On a user's machine the x86_64 suite alone is the best it can do; CI
  # promises that the deliverable itself was tested.
  if [ -n "${CI:-}" ]; then
    echo "== CI fails: the i686 build, the deliverable, was not tested"
    status=1
  fi
else
  start=$SECONDS
  zul_test i686 || status=1
  echo "== i686 suite: $((SECONDS - start)) s"
  start=$SECONDS
  zul_test_shipped i686 || status=1
  echo "== i686 shipped programs: $((SECONDS - start)) s"
  # A release from the test deployment, signed with certificates made on
  # the spot, checked and installed (tests/release/run.sh).
  start=$SECONDS
  bash "$ZUL_ROOT/tests/release/run.sh" || status=1
  echo "== test release: $((SECONDS - start)) s"
  # Both builds must have run the same test programs: a test missing from
  # one build's suite fails the run, whatever the other did.
  if ! differ=$(diff "$ZUL_ROOT/build/x86_64/tests-run.txt" "$ZUL_ROOT/build/i686/tests-run.txt"); then
    echo "== the two targets did not run the same tests (< x86_64, > i686):"
    printf '%s\n' "$differ"
    status=1
  fi
fi

# Benchmarks: each scripts/bench/*.sh runs once at a tiny size, so that a
# broken benchmark fails CI. The convention for every benchmark, present and
# future: it runs from a clean clone on a fresh machine with its one command
# (it makes the set-up, build, Wine prefix and display it needs itself);
# ZUL_BENCH_TINY=1 selects a tiny size (a few MB); every Wine run has a time
# limit; the last line it prints is its figure line (key=value pairs), tiny or
# not; and it exits non-zero when its output differs from the reference's
# (identical=no).
echo "== benchmarks (tiny)"
for bench in "$here"/bench/*.sh; do
  out=$(ZUL_BENCH_TINY=1 bash "$bench" 2>&1) || { printf '%s\n' "$out"; echo "benchmark failed: $bench"; status=1; break; }
  figure=$(printf '%s\n' "$out" | tail -n 1)
  case "$figure" in
    *identical=no*) printf '%s\n' "$out"; echo "benchmark output differs from the reference: $bench"; status=1; break ;;
    *=*) echo "$(basename "$bench"): $figure" ;;
    *) printf '%s\n' "$out"; echo "benchmark printed no figure line: $bench"; status=1; break ;;
  esac
done
exit "$status"
