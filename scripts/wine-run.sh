#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's settings: no debug
# chatter but the errors of a start that fails (see scripts/env.sh), no Mono or
# Gecko prompts. The loader follows the program: 64-bit Wine for x86_64
# programs, 32-bit Wine for i686 ones (present only inside scripts/wine32-ns.sh
# on this kind of machine). WINEPREFIX and DISPLAY come from the caller
# (scripts/env.sh's zul_env_start sets up both); without them a per-user prefix
# is used.
export WINEDEBUG="${WINEDEBUG:--all,err+virtual}"
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
# Under CTest (ZUL_WINE_RUN_DETACHED=1, set by tests/tools/test_world.py) the
# program's output goes through files and is passed on when it ends: a process
# Wine started beside it and that outlives it (a console host, a service)
# would otherwise hold CTest's output pipe open, and CTest would wait for a
# test that has long ended. A program that fails is then described: its exit
# status, the signal that ended it (Wine ends a process that another one
# terminates with SIGKILL), and whether it printed anything at all.
if [ -n "${ZUL_WINE_RUN_DETACHED:-}" ]; then
  out=$(mktemp -d) || { echo "wine-run: no folder for the output of $1" >&2; exit 125; }
  pass_on() { cat "$out/stdout"; cat "$out/stderr" >&2; }
  trap 'pass_on; rm -rf "$out"; exit 143' TERM INT
  started=$EPOCHREALTIME
  "$loader" "$@" >"$out/stdout" 2>"$out/stderr" </dev/null &
  status=0
  wait "$!" || status=$?
  pass_on
  if [ "$status" != 0 ]; then
    how="ended with exit status $status"
    # A Windows exit code reaches Linux as its low byte; above 128 it is
    # almost always the shell's 128 + the number of the signal.
    if [ "$status" -gt 128 ] && [ "$status" -lt 160 ]; then
      how="$how (128 + $((status - 128)): ended by SIG$(kill -l $((status - 128)) 2>/dev/null), or exit code $status)"
    fi
    [ -s "$out/stdout" ] || [ -s "$out/stderr" ] || how="$how, having printed nothing"
    echo "wine-run: $(basename "$1") $how, $(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }') s after its start" >&2
  fi
  rm -rf "$out"
  exit "$status"
fi
exec "$loader" "$@"
