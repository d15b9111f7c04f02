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

echo "== demo screenshots"
"$here/screenshot-demo.sh" "$ZUL_ROOT/build/x86_64" "$ZUL_ROOT/build/artifacts"
