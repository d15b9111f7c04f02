#!/usr/bin/env bash
# Opens the SkinUI demo window under Wine and keeps a screenshot of the
# X display as a PNG. WINEPREFIX and DISPLAY come from the caller (scripts/env.sh's
# zul_env_start sets both up).
#   screenshot-demo.sh [build dir] [output PNG]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/x86_64}"
out="${2:-$root/build/artifacts/skinui_demo.png}"
demo="$build/tests/skinui/skinui_demo.exe"
[ -f "$demo" ] || { echo "screenshot-demo: $demo not built" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshot-demo: no DISPLAY" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

# The demo closes itself after 15 s; the screenshot is taken once its window
# is mapped and has had a moment to paint.
"$here/wine-run.sh" "$demo" autoclose=15000 &
demo_pid=$!
shown=0
for _ in $(seq 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"SkinUI demo"'; then shown=1; break; fi
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.2
done
if [ "$shown" = 1 ]; then
  sleep 2
  import -window root "$out"
  echo "screenshot-demo: wrote $out"
fi
status=0
wait "$demo_pid" || status=$?
if [ "$shown" != 1 ]; then
  echo "screenshot-demo: the demo window did not appear (exit code $status)" >&2
  exit 1
fi
exit "$status"
