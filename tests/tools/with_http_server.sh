#!/usr/bin/env bash
# Runs a command while the download tests' HTTP server listens on a free
# loopback port; the command finds the port in ZUL_HTTP_TEST_PORT. With
# --tls DIR the server also speaks TLS with the test certificates in DIR
# (see httpserver.py for the ports and the certificate authority's file).
# Usage: with_http_server.sh [--tls DIR] COMMAND [ARGS...]
exec python3 "$(dirname "$0")/httpserver.py" "$@"
