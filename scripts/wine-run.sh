#!/usr/bin/env bash
# Runs one x86_64 Windows program under 64-bit Wine with the project's settings:
# no debug chatter, no Mono or Gecko prompts. WINEPREFIX and DISPLAY come from
# the caller (scripts/test.sh sets up both); without them a per-user prefix is used.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEPREFIX="${WINEPREFIX:-$HOME/.cache/zul-wine}"
exec /usr/lib/wine/wine64 "$@"
