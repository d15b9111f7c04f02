#!/usr/bin/env bash
# Opens the SkinUI demo window under Wine once per page and keeps a screenshot
# of the X display as skinui_demo_<page>.png for each. The pages are the
# demo skin's page buttons ("page_<name>" in demo.xml). WINEPREFIX and DISPLAY
# come from the caller (scripts/env.sh's zul_env_start sets both up).
#   screenshot-demo.sh [build dir] [output folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/x86_64}"
out_dir="${2:-$root/build/artifacts}"
demo="$build/tests/skinui/skinui_demo.exe"
skin="$root/tests/skinui/demo/skin/demo.xml"
[ -f "$demo" ] || { echo "screenshot-demo: $demo not built" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "screenshot-demo: no DISPLAY" >&2; exit 1; }
pages=$(grep -o 'name="page_[a-z0-9_]*"' "$skin" | sed 's/name="page_\(.*\)"/\1/')
[ -n "$pages" ] || { echo "screenshot-demo: no page buttons in $skin" >&2; exit 1; }
mkdir -p "$out_dir"

# One run per page: the demo shows the page named on its command line and
# closes itself 8 s after its window appears; the screenshot is taken once the
# window is mapped and has had a moment to paint.
shot() {
  local page=$1 out="$out_dir/skinui_demo_$1.png"
  "$here/wine-run.sh" "$demo" autoclose=8000 "page=$page" &
  local demo_pid=$! shown=0 status=0
  for _ in $(seq 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"SkinUI demo"'; then shown=1; break; fi
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.2
  done
  if [ "$shown" = 1 ]; then
    sleep 2
    import -window root "$out"
    echo "screenshot-demo: wrote $out"
  fi
  wait "$demo_pid" || status=$?
  if [ "$shown" != 1 ]; then
    echo "screenshot-demo: the demo window did not appear for page $page (exit code $status)" >&2
    return 1
  fi
  [ "$status" = 0 ] || { echo "screenshot-demo: the demo ended with exit code $status on page $page" >&2; return 1; }
}

status=0
for page in $pages; do
  shot "$page" || status=1
done
exit "$status"
