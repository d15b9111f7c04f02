#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's settings: no debug
# chatter, no Mono or Gecko prompts. The loader follows the program: 64-bit
# Wine for x86_64 programs, 32-bit Wine for i686 ones (present only inside
# scripts/wine32-ns.sh on this kind of machine). WINEPREFIX and DISPLAY come
# from the caller (scripts/env.sh's zul_env_start sets up both); without them a
# per-user prefix is used.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/zul-wine}"

# The machine field of the PE header: 0x14c for i386.
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
loader=/usr/lib/wine/wine64
[ -f "${1:-}" ] && [ "$(pe_machine "$1")" = 014c ] && loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  echo "wine-run: $loader is not here; 32-bit programs run inside scripts/wine32-ns.sh" >&2
  exit 127
fi
# Under CTest (ZUL_WINE_RUN_DETACHED=1, set by scripts/env.sh's zul_test) the
# program's output goes through files and is passed on when it ends: a process
# Wine started beside it and that outlives it (a console host, a service)
# would otherwise hold CTest's output pipe open, and CTest would wait for a
# test that has long ended.
if [ -n "${ZUL_WINE_RUN_DETACHED:-}" ]; then
  out=$(mktemp -d)
  pass_on() { cat "$out/stdout"; cat "$out/stderr" >&2; rm -rf "$out"; }
  trap 'pass_on; exit 143' TERM INT
  "$loader" "$@" >"$out/stdout" 2>"$out/stderr" </dev/null &
  status=0
  wait "$!" || status=$?
  pass_on
  exit "$status"
fi
exec "$loader" "$@"
