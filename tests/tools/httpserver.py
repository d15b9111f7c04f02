#!/usr/bin/env python3
"""A loopback HTTP server for the download tests, with faults on demand.

Files live in memory and are uploaded by the tests:
  PUT /_ctl/put?name=NAME          (body = the file's bytes)

Downloads:
  GET /f/NAME[?options]
    nolen=1        no Content-Length; the connection closes after the body
    range=ignore   answer a Range request with 200 and the whole file
    range=416      answer a Range request with 416
    status=N       answer N with a short error page
    cut=N          announce the full length but send only N body bytes, then close
    trickle=MS     sleep MS between blocks of chunk=BYTES (default 4096)
  GET /r/N/f/NAME[?options]   a chain of N redirects ending at /f/NAME

Control:
  GET /_ctl/ping
  GET /_ctl/reset                 forget the recorded requests
  GET /_ctl/last?path=P           request line and headers of the last request to P
  GET /_ctl/count?path=P          number of requests to P
  GET /_ctl/kill?down_ms=MS       drop every open transfer with a reset, stop
                                  listening, and listen again after MS
Ports: --port 0 picks a free one; --port-file receives the chosen port.
"""

import argparse
import os
import re
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.files = {}
        self.requests = []  # (path, raw header text)
        self.connections = set()


STATE = State()


def reset_connection(sock):
    """Closes a socket with a TCP reset, as a killed server would."""
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    try:
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass
    try:
        sock.close()
    except OSError:
        pass


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "zultest/1.0"

    def log_message(self, fmt, *args):
        if os.environ.get("ZUL_HTTP_SERVER_VERBOSE"):
            sys.stderr.write("httpserver: " + (fmt % args) + "\n")

    # ---- helpers ----
    def send_simple(self, status, body=b"", content_type="text/plain", extra=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if body and self.command != "HEAD":
            self.wfile.write(body)
        self.close_connection = True

    def record(self, path):
        raw = self.requestline + "\r\n" + "".join(
            "%s: %s\r\n" % (k, v) for k, v in self.headers.items())
        with STATE.lock:
            STATE.requests.append((path, raw))

    # ---- verbs ----
    def do_PUT(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path != "/_ctl/put" or "name" not in query:
            self.send_simple(404, b"not found")
            return
        length = int(self.headers.get("Content-Length", "0"))
        data = b""
        while len(data) < length:
            block = self.rfile.read(min(1 << 20, length - len(data)))
            if not block:
                break
            data += block
        with STATE.lock:
            STATE.files[query["name"][0]] = data
        self.send_simple(200, b"ok")

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        if url.path.startswith("/_ctl/"):
            self.control(url.path[len("/_ctl/"):], query)
            return
        self.record(url.path)
        redirect = re.match(r"^/r/(\d+)(/.*)$", url.path)
        if redirect:
            hops = int(redirect.group(1))
            rest = redirect.group(2)
            target = rest if hops <= 1 else "/r/%d%s" % (hops - 1, rest)
            if url.query:
                target += "?" + url.query
            self.send_simple(302, b"moved", extra={"Location": target})
            return
        if url.path.startswith("/f/"):
            self.serve_file(url.path[3:], query)
            return
        self.send_simple(404, b"not found")

    # ---- control endpoint ----
    def control(self, verb, query):
        if verb == "ping":
            self.send_simple(200, b"pong")
        elif verb == "reset":
            with STATE.lock:
                STATE.requests.clear()
            self.send_simple(200, b"ok")
        elif verb == "last":
            path = query.get("path", "")
            with STATE.lock:
                found = [raw for p, raw in STATE.requests if p == path]
            if found:
                self.send_simple(200, found[-1].encode("latin-1"))
            else:
                self.send_simple(404, b"no such request")
        elif verb == "count":
            path = query.get("path", "")
            with STATE.lock:
                count = sum(1 for p, _ in STATE.requests if p == path)
            self.send_simple(200, str(count).encode())
        elif verb == "kill":
            down_ms = int(query.get("down_ms", "1000"))
            self.send_simple(200, b"ok")
            self.wfile.flush()
            self.server.kill(down_ms, self.connection)
        else:
            self.send_simple(404, b"unknown control")

    # ---- files ----
    def serve_file(self, name, query):
        with STATE.lock:
            data = STATE.files.get(name)
        if "status" in query:
            status = int(query["status"])
            self.send_simple(status, ("error %d\n" % status).encode())
            return
        if data is None:
            self.send_simple(404, b"not found")
            return

        status = 200
        start = 0
        range_header = self.headers.get("Range")
        range_mode = query.get("range", "honour")
        if range_header and range_mode != "ignore":
            match = re.match(r"^bytes=(\d+)-$", range_header.strip())
            if range_mode == "416" or not match or int(match.group(1)) >= len(data):
                self.send_simple(416, b"range not satisfiable",
                                 extra={"Content-Range": "bytes */%d" % len(data)})
                return
            start = int(match.group(1))
            status = 206

        body = memoryview(data)[start:]
        no_length = query.get("nolen") == "1"
        cut = int(query["cut"]) if "cut" in query else None
        trickle_ms = int(query.get("trickle", "0"))
        chunk = int(query.get("chunk", "4096")) if trickle_ms else 65536

        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if not no_length:
            self.send_header("Content-Length", str(len(body)))
        if status == 206:
            self.send_header("Content-Range",
                             "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True

        limit = len(body) if cut is None else min(cut, len(body))
        sent = 0
        try:
            while sent < limit:
                n = min(chunk, limit - sent)
                self.wfile.write(body[sent:sent + n])
                self.wfile.flush()
                sent += n
                if trickle_ms and sent < limit:
                    time.sleep(trickle_ms / 1000.0)
        except OSError:
            return


class Server:
    def __init__(self, port):
        self.port = port
        self.listener = None
        self.listen_lock = threading.Lock()
        self.stopping = False
        self.open_listener()

    def open_listener(self):
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind(("127.0.0.1", self.port))
        sock.listen(64)
        self.port = sock.getsockname()[1]
        with self.listen_lock:
            self.listener = sock

    def serve_forever(self):
        while not self.stopping:
            with self.listen_lock:
                sock = self.listener
            if sock is None:
                time.sleep(0.02)
                continue
            try:
                sock.settimeout(0.2)
                conn, addr = sock.accept()
            except socket.timeout:
                continue
            except OSError:
                time.sleep(0.02)
                continue
            conn.settimeout(None)
            threading.Thread(target=self.handle, args=(conn, addr), daemon=True).start()

    def handle(self, conn, addr):
        with STATE.lock:
            STATE.connections.add(conn)
        try:
            Handler(conn, addr, self)
        except Exception:
            # A transfer cut by kill() ends here; nothing to report.
            pass
        finally:
            with STATE.lock:
                STATE.connections.discard(conn)
            try:
                conn.close()
            except OSError:
                pass

    def kill(self, down_ms, keep):
        with self.listen_lock:
            sock, self.listener = self.listener, None
        if sock is not None:
            sock.close()
        with STATE.lock:
            victims = [c for c in STATE.connections if c is not keep]
        for conn in victims:
            reset_connection(conn)

        def reopen():
            time.sleep(down_ms / 1000.0)
            for _ in range(50):
                try:
                    self.open_listener()
                    return
                except OSError:
                    time.sleep(0.1)
            sys.stderr.write("httpserver: could not listen again on %d\n" % self.port)

        threading.Thread(target=reopen, daemon=True).start()


def watch_parent(server, pid):
    while True:
        time.sleep(1)
        try:
            os.kill(pid, 0)
        except OSError:
            server.stopping = True
            return


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--watch-pid", type=int, default=0,
                        help="exit when this process is gone (the test driver)")
    args = parser.parse_args()
    server = Server(args.port)
    if args.watch_pid:
        threading.Thread(target=watch_parent, args=(server, args.watch_pid), daemon=True).start()
    if args.port_file:
        tmp = args.port_file + ".part"
        with open(tmp, "w") as f:
            f.write(str(server.port))
        os.replace(tmp, args.port_file)
    print("httpserver: listening on 127.0.0.1:%d" % server.port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
