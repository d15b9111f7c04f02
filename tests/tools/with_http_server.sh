#!/usr/bin/env bash
# Runs a command while the download tests' HTTP server listens on a free
# loopback port; the command finds the port in ZUL_HTTP_TEST_PORT.
# Usage: with_http_server.sh COMMAND [ARGS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
python3 "$here/httpserver.py" --port-file "$work/port" --watch-pid $$ >"$work/server.log" 2>&1 &
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for _ in $(seq 200); do
  [ -s "$work/port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$work/port" ]; then
  echo "with_http_server: the test server did not start" >&2
  cat "$work/server.log" >&2
  exit 1
fi
export ZUL_HTTP_TEST_PORT
ZUL_HTTP_TEST_PORT=$(cat "$work/port")
"$@"
rc=$?
if [ "$rc" -ne 0 ] && [ -s "$work/server.log" ]; then
  echo "---- test server log ----" >&2
  tail -n 50 "$work/server.log" >&2
fi
exit "$rc"
