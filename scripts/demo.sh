#!/usr/bin/env bash
# Set-up, build, and run the system's main job under 64-bit Wine as far as it
# exists: the foundation demo (a worker thread reporting to the UI thread).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/env.sh"
echo "== build x86_64"; zul_build x86_64
trap zul_env_stop EXIT
zul_env_start
echo "== foundation demo"
"$here/wine-run.sh" "$ZUL_ROOT/build/x86_64/tests/demo/foundation_demo.exe"
