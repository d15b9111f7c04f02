#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's settings: no debug
# chatter but the errors of a start that fails (see scripts/env.sh), no Mono or
# Gecko prompts. The loader follows the program: 64-bit Wine for x86_64
# programs, 32-bit Wine for i686 ones (present only inside scripts/wine32-ns.sh
# on this kind of machine). WINEPREFIX and DISPLAY come from the caller
# (scripts/env.sh's zul_env_start sets up both); without them a per-user prefix
# is used. In a test world (tests/tools/test_world.py) the world keeps the
# program's output and says how it ended.
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
exec "$loader" "$@"
