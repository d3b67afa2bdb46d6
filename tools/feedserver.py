#!/usr/bin/env python3
"""A small feed server for running and testing the ticker: static files, plus misbehaviour
on request.

Usage:
    feedserver.py --root DIR [--port N] [--port-file FILE] [--log FILE]
                  [--tls-cert PEM --tls-key PEM]

Serves the files under DIR on 127.0.0.1. --port 0 (the default) picks any free port. The
first line on stdout is "PORT <n>"; --port-file also receives the number. Each request is
logged as one line "METHOD TARGET STATUS" to --log (default: stderr). SIGTERM and SIGINT end
the server cleanly. With --tls-cert and --tls-key it speaks HTTPS instead of HTTP.

Each line is written before the answer goes out (status 0: the client left before it).

An answer after which the server closes the connection (the client asked it to, or spoke
HTTP/1.0) says "Connection: close", so that a client that keeps connections for reuse does not
send its next request on one that is about to close.

Content types: .xml, .php and .rss are "text/xml", .txt is "text/plain", .html is
"text/html", anything else "application/octet-stream"; no charset unless asked for.
Missing files (and folders) answer 404 with an HTML body.

A file's answer carries an ETag (a digest of the bytes sent) and a Last-Modified date (the
file's). A request that names that ETag in If-None-Match, or (without If-None-Match) whose
If-Modified-Since is not older than the file, gets "304 Not Modified" without a body. The
misbehaviours that mangle a body (cut, stall, trickle, liar) and generated bodies (size) come
without validators and always send the body; so does every answer with conditional=0.

A request in absolute form (as sent to a proxy: "GET http://host/path") is looked up as
DIR/host/path first, then as DIR/path, so the server can stand in as an HTTP proxy.

Misbehaviour, chosen by query parameters on any path (the query is not part of the file
name), or for all following requests by the control endpoint:
    GET /__control?status=500&delay=2   sets defaults merged under every request's own query
    GET /__control?reset=1              clears them
    GET /__control?release=1            answers the requests held by hold=1 (and any later)

Parameters:
    status=N         answer with status N and a small HTML body (none for 1xx, 204 and 304,
                     whose answers end with their headers)
    delay=SECONDS    wait before answering (fractions allowed)
    hold=1           wait before answering until /__control?release=1 (at most a minute)
    cut=N            send the headers with the full Content-Length, then N bytes of the body,
                     then reset the connection (TCP RST)
    stall=1          send the headers and half of the body (at most 4 KiB), then send
                     nothing more while keeping the connection open
    trickle=1        send the body one byte a second
    redirect=URL     answer 302 with Location URL (not when URL's path is the request's own)
    redirect_loop=1  answer 302 redirecting to the request's own URL, forever
    size=N           a generated body of N bytes instead of the file, streamed: printable
                     text that compresses poorly
    fill=repeat      with size: a highly repetitive body instead (a "gzip bomb" with gzip=1)
    liar=1           send a Content-Length of half the body, then the whole body;
    liar=N           (N > 1) claim N bytes, then send the whole body
    charset=NAME     add "; charset=NAME" to the Content-Type
    encode=NAME      transcode the (UTF-8) file to NAME before sending
    gzip=1           gzip the body and say so in Content-Encoding
    ctype=TYPE       the Content-Type to send, replacing the one chosen by file name
    conditional=0    no ETag or Last-Modified, and conditional requests answered in full
    cache=VALUE      send "Cache-Control: VALUE" (with every answer, 304s and statuses too)
    expires=SECONDS  send an Expires date SECONDS after the answer's Date (may be negative)
    retry_after=V    send "Retry-After: V" (a number of seconds, or any text)
    retry_at=SECONDS send a Retry-After date SECONDS after the answer's Date
"""

import argparse
import base64
import email.utils
import gzip as gzip_module
import hashlib
import os
import random
import select
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import zlib
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qsl, unquote, urlsplit

CHUNK = 64 * 1024
FILLER = (b"<item><title>Generated filler for size tests</title>"
          b"<link>http://www.tallowmere.example/filler</link></item>\n")
CONTENT_TYPES = {
    ".xml": "text/xml",
    ".php": "text/xml",
    ".rss": "text/xml",
    ".txt": "text/plain",
    ".html": "text/html",
}
MAX_STALL_SECONDS = 3600
# Misbehaviours that mangle the body: such an answer is never a 304 and names no validators.
BODY_FAULTS = ("cut", "stall", "trickle", "liar")


class Defaults:
    """The parameters set through /__control, shared by all request threads."""

    def __init__(self):
        self._lock = threading.Lock()
        self._params = {}

    def set(self, params):
        with self._lock:
            if params.get("reset"):
                self._params = {}
            self._params.update({k: v for k, v in params.items() if k != "reset"})
            return dict(self._params)

    def get(self):
        with self._lock:
            return dict(self._params)


class Log:
    def __init__(self, path):
        self._lock = threading.Lock()
        self._file = open(path, "a", encoding="utf-8") if path else sys.stderr

    def write(self, line):
        with self._lock:
            self._file.write(line + "\n")
            self._file.flush()


class ClientGone(Exception):
    pass


def random_block():
    """1 MiB of printable text that gzip cannot shrink much (base64 of random bytes)."""
    return base64.encodebytes(random.Random(7).randbytes(3 * 256 * 1024))[:1024 * 1024]


def generated_chunks(size, fill):
    """size bytes of filler, in chunks, never held whole."""
    if fill == "repeat":
        block = FILLER * (CHUNK // len(FILLER) + 1)
    else:
        block = Handler.filler_block
    left = size
    offset = 0
    while left > 0:
        if offset + CHUNK > len(block):
            offset = 0
        piece = block[offset:offset + min(left, CHUNK)]
        offset += len(piece)
        left -= len(piece)
        yield piece


def gzip_chunks(chunks):
    compressor = zlib.compressobj(6, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
    for chunk in chunks:
        out = compressor.compress(chunk)
        if out:
            yield out
    yield compressor.flush()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    filler_block = random_block()
    server_version = "feedserver/1.0"
    # Set on the server object: root, defaults, log.

    def setup(self):
        if isinstance(self.request, ssl.SSLSocket):
            # The handshake runs here, in the request's thread, so that a client that never
            # completes it holds up no one else.
            self.request.settimeout(30)
            self.request.do_handshake()
            self.request.settimeout(None)
        super().setup()

    def log_message(self, format, *args):  # noqa: A002 - BaseHTTPRequestHandler's name
        pass

    def do_GET(self):
        self._status = 0
        self._signals = {}
        self._logged = False
        self._reset = False
        try:
            self._answer()
        except (BrokenPipeError, ConnectionResetError, ClientGone):
            self.close_connection = True
        except (ValueError, LookupError) as error:
            # A malformed parameter (or an encoding Python does not know).
            if self._status == 0:
                self._send_simple(400, str(error).encode() + b"\n", "text/plain")
            self.close_connection = True
        finally:
            if not self._logged:
                self._log()

    def _log(self):
        self._logged = True
        self.server.log.write(f"{self.command} {self.path} {self._status}")

    def finish(self):
        super().finish()
        if self._reset_wanted():
            # Linger 0 turns the close into a reset instead of an orderly end.
            try:
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                           struct.pack("ii", 1, 0))
                self.connection.close()
            except OSError:
                pass

    def _reset_wanted(self):
        return getattr(self, "_reset", False)

    # --- request parsing -------------------------------------------------------------

    def _target(self):
        """(host or None, path, query dict) of the request target."""
        parts = urlsplit(self.path)
        host = parts.hostname if parts.scheme else None
        return host, unquote(parts.path) or "/", dict(parse_qsl(parts.query))

    def _answer(self):
        host, path, query = self._target()
        if path == "/__control":
            if query.pop("release", None):
                self.server.released.set()
            if query.get("reset"):
                self.server.released.clear()
            current = self.server.defaults.set(query)
            body = ("".join(f"{k}={v}\n" for k, v in sorted(current.items())) or "reset\n")
            self._send_simple(200, body.encode(), "text/plain")
            return
        params = self.server.defaults.get()
        params.update(query)
        self._signals = self._server_signals(params)

        delay = float(params.get("delay", 0) or 0)
        if delay > 0:
            time.sleep(delay)
        if params.get("hold"):
            self.server.released.wait(60)

        if params.get("redirect_loop"):
            self._redirect(self.path)
            return
        target = params.get("redirect")
        if target and urlsplit(target).path != path:
            self._redirect(target)
            return
        if "status" in params:
            code = int(params["status"])
            self._send_simple(code, self._html(code), "text/html")
            return

        if "size" in params:
            size = int(params["size"])
            chunks = generated_chunks(size, params.get("fill", ""))
            ctype = "text/xml"
        else:
            file_path = self._resolve(host, path)
            if file_path is None:
                self._send_simple(404, self._html(404), "text/html")
                return
            with open(file_path, "rb") as f:
                data = f.read()
            if params.get("encode"):
                data = data.decode("utf-8").encode(params["encode"], "xmlcharrefreplace")
            size = len(data)
            chunks = iter([data]) if data else iter([])
            ctype = CONTENT_TYPES.get(os.path.splitext(file_path)[1].lower(),
                                      "application/octet-stream")
            modified = int(os.stat(file_path).st_mtime)

        if params.get("ctype"):
            ctype = params["ctype"]
        if params.get("charset"):
            ctype += "; charset=" + params["charset"]

        headers = {"Content-Type": ctype}
        length = size
        validators = ("size" not in params and params.get("conditional", "1") != "0"
                      and not any(params.get(name) for name in BODY_FAULTS))
        if validators:
            # The digest covers everything that shapes the bytes sent.
            shape = "|".join(f"{k}={params.get(k, '')}" for k in ("encode", "gzip", "charset",
                                                                  "ctype"))
            tag = '"' + hashlib.sha256(data + shape.encode()).hexdigest()[:32] + '"'
            headers["ETag"] = tag
            headers["Last-Modified"] = email.utils.formatdate(modified, usegmt=True)
            if self._not_modified(tag, modified):
                self._start(304, {"ETag": tag, "Last-Modified": headers["Last-Modified"]})
                return
        if params.get("gzip"):
            headers["Content-Encoding"] = "gzip"
            if "size" in params:
                # Streamed, so the compressed length is unknown: the body ends with the
                # connection.
                length = None
                chunks = gzip_chunks(chunks)
            else:
                packed = gzip_module.compress(b"".join(chunks))
                length = len(packed)
                chunks = iter([packed])
        self._send_body(params, headers, length, chunks)

    @staticmethod
    def _server_signals(params):
        """The caching and Retry-After headers the parameters ask for."""
        now = time.time()
        signals = {}
        if "cache" in params:
            signals["Cache-Control"] = params["cache"]
        if "expires" in params:
            signals["Expires"] = email.utils.formatdate(now + float(params["expires"]),
                                                        usegmt=True)
        if "retry_after" in params:
            signals["Retry-After"] = params["retry_after"]
        if "retry_at" in params:
            signals["Retry-After"] = email.utils.formatdate(now + float(params["retry_at"]),
                                                            usegmt=True)
        return signals

    def _not_modified(self, tag, modified):
        """True when the request's conditions say the client holds this version already."""
        match = self.headers.get("If-None-Match")
        if match is not None:
            offered = [t.strip() for t in match.split(",")]
            # Weak comparison, as for a GET: W/"x" matches "x".
            plain = [t[2:] if t.startswith("W/") else t for t in offered]
            return "*" in offered or tag in plain
        since = self.headers.get("If-Modified-Since")
        if since is None:
            return False
        try:
            when = email.utils.parsedate_to_datetime(since)
        except (TypeError, ValueError):
            return False
        if when is None or when.tzinfo is None:
            return False
        return modified <= int(when.timestamp())

    def _resolve(self, host, path):
        root = self.server.root
        candidates = []
        if host:
            candidates.append(os.path.join(root, host, path.lstrip("/")))
        candidates.append(os.path.join(root, path.lstrip("/")))
        for candidate in candidates:
            real = os.path.realpath(candidate)
            if not (real == root or real.startswith(root + os.sep)):
                continue
            if os.path.isfile(real):
                return real
        return None

    # --- answers -----------------------------------------------------------------------

    @staticmethod
    def _html(code):
        try:
            phrase = HTTPStatus(code).phrase
        except ValueError:
            phrase = "Status"
        return (f"<html><head><title>{code} {phrase}</title></head>"
                f"<body><h1>{code} {phrase}</h1></body></html>\n").encode()

    def _start(self, code, headers):
        self._status = code
        # Logged before anything is sent, so that a client holding the answer finds the line.
        self._log()
        self.send_response_only(code)
        self.send_header("Date", self.date_time_string())
        for name, value in {**self._signals, **headers}.items():
            self.send_header(name, value)
        if self.close_connection and "Connection" not in headers:
            self.send_header("Connection", "close")
        self.end_headers()

    def _send_simple(self, code, body, ctype):
        if code < 200 or code in (204, 304):
            # These answers end with their headers: bytes after them would be read as the
            # start of the next answer on the connection.
            self._start(code, {})
            return
        self._start(code, {"Content-Type": ctype, "Content-Length": str(len(body))})
        self.wfile.write(body)

    def _redirect(self, location):
        body = self._html(302)
        self._start(302, {"Location": location, "Content-Type": "text/html",
                          "Content-Length": str(len(body))})
        self.wfile.write(body)

    def _send_body(self, params, headers, length, chunks):
        liar = int(params.get("liar", 0) or 0)
        if length is None:
            self.close_connection = True
            headers["Connection"] = "close"
        elif liar:
            headers["Content-Length"] = str(length // 2 if liar == 1 else liar)
            self.close_connection = True
            headers["Connection"] = "close"
        else:
            headers["Content-Length"] = str(length)
        self._start(200, headers)

        if "cut" in params:
            budget = int(params["cut"])
            for chunk in chunks:
                if budget <= 0:
                    break
                self.wfile.write(chunk[:budget])
                budget -= len(chunk)
            self.wfile.flush()
            self._reset = True
            self.close_connection = True
            return
        if params.get("stall"):
            budget = max(1, min((length or CHUNK) // 2, 4096))
            for chunk in chunks:
                if budget <= 0:
                    break
                self.wfile.write(chunk[:budget])
                budget -= len(chunk)
            self.wfile.flush()
            self._wait_for_client_to_leave(MAX_STALL_SECONDS)
            self.close_connection = True
            return
        if params.get("trickle"):
            for chunk in chunks:
                for i in range(len(chunk)):
                    self.wfile.write(chunk[i:i + 1])
                    self.wfile.flush()
                    self._wait_for_client_to_leave(1.0)
            return
        for chunk in chunks:
            self.wfile.write(chunk)
        self.wfile.flush()

    def _wait_for_client_to_leave(self, seconds):
        """Sleeps up to seconds; raises ClientGone as soon as the peer closes."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return
            readable, _, _ = select.select([self.connection], [], [], min(left, 0.5))
            if readable:
                try:
                    if not self.connection.recv(1024, socket.MSG_PEEK):
                        raise ClientGone()
                except OSError:
                    raise ClientGone() from None
                # The client sent something (a pipelined request): keep waiting.
                time.sleep(min(left, 0.1))


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # A client that went away is routine here; anything else is worth a trace.
        error = sys.exc_info()[1]
        if isinstance(error, (ConnectionError, ClientGone, ssl.SSLError, socket.timeout)):
            return
        super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description="Serves feed files, misbehaving on request.")
    parser.add_argument("--root", required=True, help="folder to serve")
    parser.add_argument("--port", type=int, default=0, help="port (0: any free port)")
    parser.add_argument("--port-file", help="file that receives the port number")
    parser.add_argument("--log", help="request log (default: stderr)")
    parser.add_argument("--tls-cert", help="certificate (PEM): serve HTTPS")
    parser.add_argument("--tls-key", help="private key (PEM) of --tls-cert")
    args = parser.parse_args()
    if bool(args.tls_cert) != bool(args.tls_key):
        parser.error("--tls-cert and --tls-key go together")

    root = os.path.realpath(args.root)
    if not os.path.isdir(root):
        parser.error(f"not a folder: {args.root}")

    server = Server(("127.0.0.1", args.port), Handler)
    server.root = root
    server.defaults = Defaults()
    server.released = threading.Event()
    server.log = Log(args.log)
    if args.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True,
                                            do_handshake_on_connect=False)
    port = server.server_address[1]

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    print(f"PORT {port}", flush=True)
    if args.port_file:
        partial = args.port_file + ".tmp"
        with open(partial, "w", encoding="ascii") as f:
            f.write(f"{port}\n")
        os.replace(partial, args.port_file)
    try:
        server.serve_forever(poll_interval=0.2)
    except SystemExit:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
