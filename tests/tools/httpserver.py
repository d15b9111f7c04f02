#!/usr/bin/env python3
"""A loopback HTTP(S) server for the download tests, with faults on demand.

  PUT /_ctl/put?name=NAME        store the body as file NAME (files live in memory)
  GET /_ctl/big?name=NAME&size=N store a file NAME of N spaces, made as it is sent (so
                                 it may be far larger than memory); options given here
                                 (nolen=1, ...) are its defaults
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
    hold=1         after the first block, wait until the path is released (at most 60 s),
                   so that a test sees the transfer under way however slowly it looks
  GET /r/N/...                   a chain of N redirects ending at /...
  GET /go?to=URL                 a redirect to URL (any address, another scheme too)
  GET /_ctl/reset                forget the recorded requests and releases
  GET /_ctl/release?path=P       let the held transfers of P (hold=1) go on, and the next ones
  GET /_ctl/count?path=P         number of requests to P
  GET /_ctl/header?path=P&name=H header H of the last request to P ("" when absent)
  GET /_ctl/kill?down_ms=MS      reset every open transfer, and every new one for MS
Usage: httpserver.py [--tls DIR] COMMAND [ARGS...] runs the command while the
server listens on a free loopback port, which the command finds in
ZUL_HTTP_TEST_PORT. With --tls, DIR holds the test certificates the build makes
(tests/launcher/CMakeLists.txt): ca.der, the test certificate authority;
local.pem/.key and other.pem/.key, two certificates it signed; untrusted.pem/.key,
one that signs itself. The same files and faults are then also served over TLS
on three more loopback ports:
  ZUL_HTTPS_TEST_PORT       presents the certificate for this server's own names,
                            "localhost" and "127.0.0.1"
  ZUL_HTTPS_OTHER_PORT      presents a certificate for another name ("other.zul.test")
  ZUL_HTTPS_UNTRUSTED_PORT  presents the self-signed one for this server's names
and ZUL_TEST_CA_FILE names ca.der as a Windows program under Wine sees it
("Z:" and the path); the tests add it to their prefix's trusted roots.
"""

import os
import re
import signal
import socket
import ssl
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
releases = {}  # path: threading.Event, set once the path's held transfers may go on


def release_of(path):
    with lock:
        return releases.setdefault(path, threading.Event())


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def setup(self):
        # The TLS handshake runs here, on the connection's own thread: a
        # client that refuses the certificate ends only its connection.
        if isinstance(self.request, ssl.SSLSocket):
            self.request.do_handshake()
        super().setup()

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
            files[name] = (data, {})
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
        elif url.path == "/go":
            self.reply(302, b"moved", [("Location", query["to"])])
        elif url.path.startswith("/f/") and url.path[3:] in files:
            data, defaults = files[url.path[3:]]
            self.serve_file(data, dict(defaults, **query), url.path)
        else:
            self.reply(404, b"not found")

    def control(self, verb, query):
        path = query.get("path", "")
        with lock:
            matching = [headers for p, headers in requests if p == path]
        if verb == "reset":
            with lock:
                requests.clear()
                releases.clear()
            self.reply(200)
        elif verb == "release":
            release_of(path).set()
            self.reply(200)
        elif verb == "count":
            self.reply(200, str(len(matching)).encode())
        elif verb == "header":
            value = matching[-1].get(query["name"], "") if matching else ""
            self.reply(200, value.encode("latin-1"))
        elif verb == "big":
            options = {k: v for k, v in query.items() if k not in ("name", "size")}
            with lock:
                files[query["name"]] = (Spaces(int(query["size"])), options)
            self.reply(200)
        elif verb == "kill":
            self.reply(200)
            self.server.kill(int(query["down_ms"]), self.connection)
        else:
            self.reply(404)

    def serve_file(self, data, query, path):
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
        body = Spaces(len(data) - start) if isinstance(data, Spaces) else memoryview(data)[start:]
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
            if at == 0 and query.get("hold") == "1":
                release_of(path).wait(60)
            time.sleep(trickle)


class Spaces:
    """A file of spaces that is made as it is sent."""

    def __init__(self, size):
        self.size = size

    def __len__(self):
        return self.size

    def __getitem__(self, part):  # a block of it, as bytes
        start, stop, _ = part.indices(self.size)
        return b" " * max(0, stop - start)


def reset_connection(sock):
    """Closes a socket with a TCP reset, as a killed server would."""
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass


class Server(ThreadingHTTPServer):
    daemon_threads = True
    down_until = 0.0  # while down, every new connection to any port is reset at once

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
        Server.down_until = time.monotonic() + down_ms / 1000.0
        with lock:
            victims = [c for c in connections if c is not keep]
        for conn in victims:
            reset_connection(conn)


class TlsServer(Server):
    def __init__(self, certificate, key):
        super().__init__(("127.0.0.1", 0), Handler)
        self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.context.load_cert_chain(certificate, key)

    def get_request(self):
        sock, address = self.socket.accept()
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address


def listen(server):
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return str(server.server_address[1])


if __name__ == "__main__":
    command = sys.argv[1:]
    env = dict(os.environ, ZUL_HTTP_TEST_PORT=listen(Server(("127.0.0.1", 0), Handler)))
    if command[:1] == ["--tls"]:
        tls = os.path.abspath(command[1])
        command = command[2:]
        env["ZUL_HTTPS_TEST_PORT"] = listen(TlsServer(tls + "/local.pem", tls + "/local.key"))
        env["ZUL_HTTPS_OTHER_PORT"] = listen(TlsServer(tls + "/other.pem", tls + "/other.key"))
        env["ZUL_HTTPS_UNTRUSTED_PORT"] = listen(TlsServer(tls + "/untrusted.pem", tls + "/untrusted.key"))
        env["ZUL_TEST_CA_FILE"] = "Z:" + (tls + "/ca.der").replace("/", "\\")
    status = subprocess.call(command, env=env)
    if status < 0:
        # Ended by a signal: so is this wrapper, and the caller learns which.
        signal.signal(-status, signal.SIG_DFL)
        os.kill(os.getpid(), -status)
    sys.exit(status)
