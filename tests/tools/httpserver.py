#!/usr/bin/env python3
"""A loopback HTTP server for the download tests, with faults on demand.

  PUT /_ctl/put?name=NAME        store the body as file NAME (files live in memory)
  GET /f/NAME[?options]          serve it; options:
    nolen=1        no Content-Length; the connection closes after the body
    range=ignore   answer a Range request with 200 and the whole file
    range=416      answer a Range request with 416
    range=shift    answer a Range request with 206 and the bytes from half the asked
                   offset on, with a Content-Range that says so
    range=star     answer a Range request with 206, "Content-Range: bytes */SIZE" and
                   the whole file
    status=N       answer N with a short error page
    fail=N         answer 500 to the first N requests to the path (since the last reset)
    cut=N          announce the full length but send only N body bytes, then close
    trickle=MS     sleep MS between blocks of chunk=BYTES (default 4096)
  GET /r/N/...                   a chain of N redirects ending at /...
  GET /_ctl/reset                forget the recorded requests
  GET /_ctl/count?path=P         number of requests to P
  GET /_ctl/header?path=P&name=H header H of the last request to P ("" when absent)
  GET /_ctl/kill?down_ms=MS      reset every open transfer, and every new one for MS
Usage: httpserver.py COMMAND [ARGS...] runs the command while the server listens
on a free loopback port, which the command finds in ZUL_HTTP_TEST_PORT.
"""

import os
import re
import socket
import struct
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

lock = threading.Lock()
files = {}
requests = []  # (path, headers)
connections = set()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def reply(self, status, body=b"", extra=()):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def do_PUT(self):
        name = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)["name"][0]
        data = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with lock:
            files[name] = data
        self.reply(200, b"ok")

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        if url.path.startswith("/_ctl/"):
            self.control(url.path[6:], query)
            return
        with lock:
            requests.append((url.path, self.headers))
            seen = sum(1 for p, _ in requests if p == url.path)
        redirect = re.match(r"^/r/(\d+)(/.*)$", url.path)
        if redirect:
            hops, rest = int(redirect.group(1)), redirect.group(2)
            target = rest if hops <= 1 else "/r/%d%s" % (hops - 1, rest)
            self.reply(302, b"moved", [("Location", target + ("?" + url.query if url.query else ""))])
        elif "status" in query:
            self.reply(int(query["status"]), b"error page")
        elif seen <= int(query.get("fail", "0")):
            self.reply(500, b"error page")
        elif url.path.startswith("/f/") and url.path[3:] in files:
            self.serve_file(files[url.path[3:]], query)
        else:
            self.reply(404, b"not found")

    def control(self, verb, query):
        path = query.get("path", "")
        with lock:
            matching = [headers for p, headers in requests if p == path]
        if verb == "reset":
            with lock:
                requests.clear()
            self.reply(200)
        elif verb == "count":
            self.reply(200, str(len(matching)).encode())
        elif verb == "header":
            value = matching[-1].get(query["name"], "") if matching else ""
            self.reply(200, value.encode("latin-1"))
        elif verb == "kill":
            self.reply(200)
            self.server.kill(int(query["down_ms"]), self.connection)
        else:
            self.reply(404)

    def serve_file(self, data, query):
        status, start = 200, 0
        asked = self.headers.get("Range")
        if asked and query.get("range") != "ignore":
            match = re.match(r"^bytes=(\d+)-$", asked.strip())
            if query.get("range") == "416" or not match or int(match.group(1)) >= len(data):
                self.reply(416, extra=[("Content-Range", "bytes */%d" % len(data))])
                return
            status, start = 206, int(match.group(1))
            if query.get("range") == "shift":
                start //= 2
            elif query.get("range") == "star":
                start = 0
        body = memoryview(data)[start:]
        self.send_response(status)
        if query.get("nolen") != "1":
            self.send_header("Content-Length", str(len(body)))
        if status == 206 and query.get("range") == "star":
            self.send_header("Content-Range", "bytes */%d" % len(data))
        elif status == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        trickle = int(query.get("trickle", "0")) / 1000.0
        chunk = int(query.get("chunk", "4096")) if trickle else 65536
        limit = min(int(query.get("cut", len(body))), len(body))
        for at in range(0, limit, chunk):
            self.wfile.write(body[at:min(at + chunk, limit)])
            self.wfile.flush()
            time.sleep(trickle)


def reset_connection(sock):
    """Closes a socket with a TCP reset, as a killed server would."""
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass


class Server(ThreadingHTTPServer):
    daemon_threads = True
    down_until = 0.0  # while down, every new connection is reset at once

    def verify_request(self, request, address):
        if time.monotonic() < self.down_until:
            reset_connection(request)
            return False
        with lock:
            connections.add(request)
        return True

    def shutdown_request(self, request):
        with lock:
            connections.discard(request)
        super().shutdown_request(request)

    def handle_error(self, request, address):
        pass  # a transfer cut by kill() ends here

    def kill(self, down_ms, keep):
        self.down_until = time.monotonic() + down_ms / 1000.0
        with lock:
            victims = [c for c in connections if c is not keep]
        for conn in victims:
            reset_connection(conn)


if __name__ == "__main__":
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    env = dict(os.environ, ZUL_HTTP_TEST_PORT=str(server.server_address[1]))
    sys.exit(subprocess.call(sys.argv[1:], env=env))
