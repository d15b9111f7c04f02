#!/usr/bin/env bash
# Runs a command while the download tests' HTTP server listens on a free
# loopback port; the command finds the port in ZUL_HTTP_TEST_PORT.
# Usage: with_http_server.sh COMMAND [ARGS...]
exec python3 "$(dirname "$0")/httpserver.py" "$@"
