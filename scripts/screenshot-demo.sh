#!/usr/bin/env bash
# Opens the SkinUI demo window under 64-bit Wine and keeps screenshots of the X
# display as PNG files: one per page of the demo (every page_NAME.xml of its
# skin gives skinui_demo_NAME.png) and one with a message box open over the
# window (skinui_msgbox.png). WINEPREFIX and DISPLAY come from the caller
# (scripts/env.sh's zul_env_start sets both up).
#   screenshot-demo.sh [build dir] [output folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/x86_64}"
out="${2:-$root/build/artifacts}"
demo="$build/tests/skinui/skinui_demo.exe"
skin="$build/tests/skinui/demo_skin"
[ -f "$demo" ] || { echo "screenshot-demo: $demo not built" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshot-demo: no DISPLAY" >&2; exit 1; }
mkdir -p "$out"

# shoot NAME ARGS...: runs the demo with the arguments and keeps the screen as
# NAME.png once its window is mapped and has had a moment to paint. The demo
# closes itself 8 s after its window shows; a demo (or screenshot) that hangs
# is stopped by its time limit and fails the run.
shoot() {
  local name=$1; shift
  timeout -k 10 180 "$here/wine-run.sh" "$demo" autoclose=8000 "$@" &
  local demo_pid=$! shown=0 status=0
  for _ in $(seq 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"SkinUI demo"'; then shown=1; break; fi
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.2
  done
  if [ "$shown" = 1 ]; then
    sleep 2
    timeout -k 5 60 import -window root "$out/$name.png"
    echo "screenshot-demo: wrote $out/$name.png"
  fi
  wait "$demo_pid" || status=$?
  if [ "$shown" != 1 ]; then
    echo "screenshot-demo: the demo window did not appear for $name (exit code $status)" >&2
    return 1
  fi
  return "$status"
}

pages=0
for page in "$skin"/page_*.xml; do
  [ -f "$page" ] || continue
  name="$(basename "$page" .xml)"
  name="${name#page_}"
  shoot "skinui_demo_$name" "page=$name"
  pages=$((pages + 1))
done
[ "$pages" -gt 0 ] || { echo "screenshot-demo: no page_*.xml in $skin" >&2; exit 1; }
shoot skinui_msgbox page=input msgbox
