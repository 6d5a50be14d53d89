#!/usr/bin/python3
"""Local stand-in for the MURLOX web service, for the client's tests and demo.

    python3 tools/service/murlox_service.py --port N [--account EMAIL:PASSWORD]... [--log FILE]

Listens on 127.0.0.1 only and prints "listening on 127.0.0.1:PORT" once it does (--port 0
picks a free port). It answers the client's requests with the same formats as the real
service, serves wallpapers it draws itself, records every request byte for byte, and can be
told to misbehave. The admin paths under /_admin/ (never recorded, never faulted):

    GET  /_admin/log       the recorded requests, a JSON list
    GET  /_admin/state     accounts, news, faults and the wallpaper catalogue
    GET  /_admin/count     the number of recorded requests, as decimal text
    GET  /_admin/raw?index=N  the N-th recorded request (negative: from the end) exactly as
                           received: request line, header lines, empty line, body
    POST /_admin/reset     forget the recorded requests and all faults; the default news again
    POST /_admin/fault     {"path", "kind", "count", ...}: see the class Fault
    POST /_admin/account   {"email", "password", "wallpaper"}: add or replace an account
    POST /_admin/news      {"items": [{"message", "url", "type"}, ...]}; null restores the default
    POST /_admin/shutdown  stop the service
"""

import argparse
import base64
import itertools
import json
import os
import select
import signal
import socket
import sys
import threading
import time
import xml.etree.ElementTree as ET
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote_plus, unquote_to_bytes
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pictures  # noqa: E402

DEMO_EMAIL = "demo@murlox.test"
DEMO_PASSWORD = "demo"
FIRST_ID = 1001
# Ids 1001..1011 are pictures, their types taking turns; 1012 is an HTML wallpaper. These are
# on the thumbnail page; 4711 is a picture that can only be asked for by its id.
THUMBNAILS = {str(FIRST_ID + i): ("jpg", "bmp", "png")[i % 3] for i in range(11)}
THUMBNAILS[str(FIRST_ID + 11)] = "url"
CATALOGUE = dict(THUMBNAILS, **{"4711": "bmp"})
MAX_SIDE = 10000
CONTENT_TYPES = {"jpg": "image/jpeg", "bmp": "image/bmp", "png": "image/png",
                 "url": "text/html"}
FILE_EXTENSIONS = {"jpg": "jpg", "bmp": "bmp", "png": "png", "url": "html"}
DEFAULT_NEWS = [
    {"message": "Welcome to MURLOX! A fresh MURLO is waiting on your desktop.",
     "url": "{base}/actions/help.php?version=1.54", "type": "INFO"},
]
PAGES = {
    "/": "MURLOX home",
    "/actions/about.php": "About MURLOX",
    "/actions/help.php": "MURLOX help",
    "/actions/register.php": "Get a MURLOX account",
    "/actions/profile.php": "My MURLOX profile",
    "/actions/mailmurlo.php": "Mail this MURLO",
}
FAULT_KINDS = {"refuse", "delay", "silent", "drop", "status", "empty", "broken_xml",
               "errorcode", "body", "no_length", "oversized", "trickle", "long_headers"}
# The client's limits: a download fails past 64 MiB, a reply it takes as text past 1 MiB.
DOWNLOAD_LIMIT = 64 << 20
REPLY_STATUS_TEXT = {200: "OK", 302: "Found", 400: "Bad Request", 404: "Not Found",
                     500: "Internal Server Error"}


class Reply:
    def __init__(self, body, content_type="text/html", status=200, headers=()):
        self.body = body if isinstance(body, bytes) else body.encode("latin-1", "replace")
        self.content_type = content_type
        self.status = status
        self.headers = list(headers)


def xml_reply(inner):
    return Reply('<?xml version="1.0"?><reply>%s</reply>' % inner, "text/xml")


def error_reply(code):
    return xml_reply("<errorcode>%d</errorcode>" % code)


def html_page(title, inner=""):
    return Reply("<html><head><title>%s</title></head><body><h1>%s</h1>%s</body></html>"
                 % (title, title, inner))


def form_fields(query):
    """Query text -> {name: value}; values are form-encoded bytes taken as Latin-1."""
    fields = {}
    for pair in query.split("&"):
        name, _, value = pair.partition("=")
        raw = unquote_to_bytes(value.replace("+", " "))
        fields.setdefault(unquote_plus(name, encoding="latin-1"), raw.decode("latin-1"))
    return fields


class Fault:
    """One planned misbehaviour for requests to `path` ("*", the default: every path),
    for the next `count` of them (none: until reset). Kinds and their fields:

    refuse      close the connection without a reply
    delay       answer normally after `seconds` (default 1)
    silent      never answer; hold the connection until the client closes it
    drop        headers with the full Content-Length, then half the body, then close
    status      answer `status` (default 500); 3xx with `location` (default: the home page)
    empty       200 with an empty body
    broken_xml  200 with XML cut off in the middle
    errorcode   <reply><errorcode>`code`</errorcode></reply> (default 3)
    body        200 with the literal `body` (default "error")
    no_length   the normal reply without Content-Length, ended by closing the connection
    oversized   200 with `size` bytes (default one past the client's download limit, 64 MiB),
                announced in Content-Length unless `with_length` is false
    trickle     the normal reply, its body sent one byte every `interval` seconds (default 0.25)
    long_headers the normal reply after `size` bytes of extra header lines
    """

    def __init__(self, fields):
        self.kind = fields.get("kind")
        if self.kind not in FAULT_KINDS:
            raise ValueError("unknown fault kind %r" % (self.kind,))
        self.path = fields.get("path", "*")
        self.count = fields.get("count")  # None: until reset
        self.status = int(fields.get("status", 500))
        self.location = fields.get("location")
        self.seconds = float(fields.get("seconds", 1))
        self.code = int(fields.get("code", 3))
        self.body = fields.get("body", "error")
        self.size = int(fields.get("size", DOWNLOAD_LIMIT + 1))
        self.with_length = bool(fields.get("with_length", True))
        self.interval = float(fields.get("interval", 0.25))
        self.fields = dict(fields)

    def matches(self, path):
        return self.path in ("*", path) and self.count != 0


class ServiceState:
    """Everything the service remembers; one lock guards it all."""

    def __init__(self, log_file=None):
        self.lock = threading.Lock()
        self.accounts = {}  # e-mail -> {"password", "wallpaper"}
        self.login_ids = {}  # login id -> e-mail
        self.session_ids = {}  # session id -> e-mail
        self.news = None  # None: the default news
        self.faults = []
        self.log = []
        self.log_file = log_file
        self.files = {}  # (id, width, height) -> bytes
        self.counter = itertools.count(1)
        self.stop = threading.Event()
        self.add_account(DEMO_EMAIL, DEMO_PASSWORD)

    def add_account(self, email, password, wallpaper=None):
        wallpaper = str(wallpaper or FIRST_ID)
        if wallpaper not in CATALOGUE:
            raise ValueError("unknown wallpaper id %r" % wallpaper)
        with self.lock:
            self.accounts[email] = {"password": password, "wallpaper": wallpaper}

    def check(self, email, password):
        with self.lock:
            account = self.accounts.get(email)
            return account is not None and account["password"] == password

    def new_id(self, prefix, table, email):
        with self.lock:
            token = "%s%06d%s" % (prefix, next(self.counter), os.urandom(4).hex().upper())
            table[token] = email
            return token

    def owner(self, table, token):
        with self.lock:
            return table.get(token)

    def record(self, entry):
        with self.lock:
            self.log.append(entry)
            if self.log_file:
                with open(self.log_file, "a", encoding="utf-8") as out:
                    out.write(json.dumps(entry) + "\n")

    def take_fault(self, path):
        with self.lock:
            for fault in self.faults:
                if fault.matches(path):
                    if fault.count is not None:
                        fault.count -= 1
                    return fault
        return None

    def wallpaper_file(self, wallpaper_id, width, height):
        key = (wallpaper_id, width, height)
        with self.lock:
            data = self.files.get(key)
        if data is None:
            draw = {"jpg": pictures.jpeg, "bmp": pictures.bmp, "png": pictures.png,
                    "url": pictures.html}[CATALOGUE[wallpaper_id]]
            data = draw(wallpaper_id, width, height)
            with self.lock:
                if len(self.files) >= 16:  # a 1920 x 1080 BMP is 6 MB
                    self.files.pop(next(iter(self.files)))
                self.files[key] = data
        return data

    def snapshot(self):
        with self.lock:
            return {
                "accounts": {e: dict(a) for e, a in self.accounts.items()},
                "news": self.news if self.news is not None else DEFAULT_NEWS,
                "faults": [dict(f.fields, remaining=f.count) for f in self.faults],
                "catalogue": CATALOGUE,
            }


class RecordingReader:
    """Passes reads through and keeps the header lines exactly as they arrived."""

    def __init__(self, stream):
        self.stream = stream
        self.lines = []

    def readline(self, limit=-1):
        line = self.stream.readline(limit)
        self.lines.append(line)
        return line

    def __getattr__(self, name):
        return getattr(self.stream, name)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "MURLOX-stand-in/1.0"
    state = None  # the ServiceState, set on a subclass by main()

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        pass  # the request log replaces the console trace

    def parse_request(self):
        recorder = RecordingReader(self.rfile)
        self.rfile = recorder
        try:
            return super().parse_request()
        finally:
            self.rfile = recorder.stream
            self.header_bytes = b"".join(recorder.lines)
            self.header_lines = [line.rstrip(b"\r\n").decode("latin-1")
                                 for line in recorder.lines if line not in (b"\r\n", b"\n")]

    def do_GET(self):
        self.serve()

    def do_POST(self):
        self.serve()

    def do_HEAD(self):
        self.serve()

    def serve(self):
        self.close_connection = True  # one exchange per connection, as the client does it
        length = self.headers.get("Content-Length", "0").strip()
        body = self.rfile.read(int(length)) if length.isdigit() else b""
        target = self.path
        if target.startswith("http://"):  # the absolute form a proxy may pass on
            target = "/" + target[len("http://"):].partition("/")[2]
        path, _, query = target.partition("?")
        if path.startswith("/_admin/"):
            self.send(self.admin(path, query, body))
            return
        fault = self.state.take_fault(path)
        self.state.record({
            "time": time.time(),
            "client": "%s:%d" % self.client_address,
            "request_line": self.requestline,
            "method": self.command,
            "path": path,
            "query": query,
            "headers": self.header_lines,
            "body_b64": base64.b64encode(body).decode("ascii"),
            "body_latin1": body.decode("latin-1"),
            "raw_b64": base64.b64encode(self.raw_requestline + self.header_bytes + body)
                             .decode("ascii"),
            "fault": fault.kind if fault else None,
        })
        if fault is None:
            self.send(self.route(path, query, body))
        else:
            self.misbehave(fault, lambda: self.route(path, query, body))

    # --- the service -------------------------------------------------------------

    def base_url(self):
        host = self.headers.get("Host") or "%s:%d" % self.server.server_address[:2]
        return "http://" + host.strip()

    def route(self, path, query, body):
        if path == "/actions/login.php":
            return self.login(form_fields(query))
        if path == "/actions/requestsession.php":
            return self.request_session(form_fields(query))
        if path == "/actions/wallpaperserve.php":
            return self.wallpaper_request(body)
        if path == "/actions/news.php":
            return self.news_request(body)
        if path == "/actions/wallpaper_thumbs.php":
            return self.thumbnail_page(form_fields(query))
        if path.startswith("/actions/cmdnewdesktopid("):
            # Reached only when a client lets the thumbnail click navigate.
            return html_page("MURLO picked", "<p>%s</p>" % escape(path))
        if path in PAGES:
            return html_page(PAGES[path])
        if path.startswith("/murlos/"):
            return self.wallpaper_file(path[len("/murlos/"):])
        return Reply("<html><body>404 not found</body></html>", status=404)

    def login(self, fields):
        email = fields.get("un", "")
        if self.state.check(email, fields.get("pw", "")):
            return Reply("[OK]" + self.state.new_id("L", self.state.login_ids, email))
        return Reply("[ERR] wrong e-mail address or password")

    def request_session(self, fields):
        email = self.state.owner(self.state.login_ids, fields.get("id", ""))
        if email is None:
            return Reply("[ERR] unknown login id")
        return Reply("[OK]" + self.state.new_id("S", self.state.session_ids, email))

    def parse_message(self, body):
        """The posted body -> the XML message as a dict, or None when it is unreadable.

        The client form-encodes everything after the first "=" of the line it posts."""
        text = body.decode("latin-1")
        head, equals, rest = text.partition("=")
        if equals:
            text = head + equals + unquote_plus(rest, encoding="latin-1")
        try:
            root = ET.fromstring(text.strip())
        except ET.ParseError:
            return None
        return {child.tag: (child.text or "") for child in root}

    def wallpaper_request(self, body):
        message = self.parse_message(body)
        if message is None:
            return error_reply(1)
        email = message.get("username", "")
        if not self.state.check(email, message.get("password", "")):
            return error_reply(3)
        try:
            width, height = int(message.get("xres")), int(message.get("yres"))
        except (TypeError, ValueError):
            return error_reply(1)
        if not (0 < width <= MAX_SIDE and 0 < height <= MAX_SIDE):
            return error_reply(1)
        action = message.get("action")
        with self.state.lock:
            account = self.state.accounts[email]
            if action == "GETONE":
                wallpaper_id = account["wallpaper"]
            elif action == "GETNEWONE":
                wallpaper_id = message.get("new", "").strip()
                if wallpaper_id not in CATALOGUE:
                    return error_reply(4)
                account["wallpaper"] = wallpaper_id
            else:
                return error_reply(1)
        kind = CATALOGUE[wallpaper_id]
        url = "%s/murlos/%s-%dx%d.%s" % (self.base_url(), wallpaper_id, width, height,
                                         FILE_EXTENSIONS[kind])
        return xml_reply("<url>%s</url><id>%s</id><type>%s</type>"
                         % (escape(url), wallpaper_id, kind))

    def news_request(self, body):
        message = self.parse_message(body)
        if message is None or message.get("action") != "GETNEWS":
            return error_reply(1)
        if not self.state.check(message.get("username", ""), message.get("password", "")):
            return error_reply(3)
        with self.state.lock:
            items = self.state.news if self.state.news is not None else DEFAULT_NEWS
        parts = []
        for item in items:
            # An item's element is left out when its key is missing, so replies with
            # incomplete items can be served too.
            parts.append("<news>%s</news>" % "".join(
                "<%s>%s</%s>" % (name, escape(str(item[name]).replace("{base}", self.base_url())),
                                 name)
                for name in ("message", "url", "type") if name in item))
        return Reply('<?xml version="1.0"?><newsreply>%s</newsreply>' % "".join(parts),
                     "text/xml")

    def thumbnail_page(self, fields):
        title = "Get another MURLO"
        if not self.state.check(fields.get("un", ""), fields.get("pw", "")):
            return html_page(title, "<p>wrong e-mail address or password</p>")
        current = fields.get("currentdesktop", "")
        cells = []
        for wallpaper_id, kind in THUMBNAILS.items():
            border = 3 if wallpaper_id == current else 0
            cells.append(
                '<a href="%s/actions/cmdnewdesktopid(%s)"><img src="/murlos/thumbs/%s.png" '
                'width="76" height="43" border="%d" alt="%s %s"></a>'
                % (self.base_url(), wallpaper_id, wallpaper_id, border, wallpaper_id, kind))
        return Reply('<html><head><title>%s</title></head><body style="margin:0">%s</body></html>'
                     % (title, " ".join(cells)))

    def wallpaper_file(self, name):
        """ "ID-WxH.EXT", or "thumbs/ID.png" for the thumbnail page."""
        if name.startswith("thumbs/") and name.endswith(".png"):
            wallpaper_id = name[len("thumbs/"):-len(".png")]
            if wallpaper_id in CATALOGUE:
                return Reply(pictures.png(wallpaper_id, 76, 43, cell=1), "image/png")
            return Reply("no such thumbnail", status=404)
        stem, _, extension = name.rpartition(".")
        wallpaper_id, _, size = stem.partition("-")
        width, _, height = size.partition("x")
        kind = CATALOGUE.get(wallpaper_id)
        if (kind is None or FILE_EXTENSIONS[kind] != extension or not width.isdigit()
                or not height.isdigit()
                or not (0 < int(width) <= MAX_SIDE and 0 < int(height) <= MAX_SIDE)):
            return Reply("no such wallpaper", status=404)
        data = self.state.wallpaper_file(wallpaper_id, int(width), int(height))
        return Reply(data, CONTENT_TYPES[kind])

    # --- replies and faults --------------------------------------------------------

    def send(self, reply, with_length=True, body=None):
        self.send_response(reply.status, REPLY_STATUS_TEXT.get(reply.status))
        self.send_header("Content-Type", reply.content_type)
        if with_length:
            self.send_header("Content-Length", str(len(reply.body)))
        for name, value in reply.headers:
            self.send_header(name, value)
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(reply.body if body is None else body)
        self.wfile.flush()

    def misbehave(self, fault, normal):
        kind = fault.kind
        if kind == "refuse":
            self.connection.shutdown(socket.SHUT_RDWR)
        elif kind == "silent":
            self.wait_for_client_to_leave()
        elif kind == "delay":
            self.state.stop.wait(fault.seconds)
            self.send(normal())
        elif kind == "drop":
            reply = normal()
            self.send(reply, body=reply.body[:len(reply.body) // 2])
            self.connection.shutdown(socket.SHUT_RDWR)
        elif kind == "no_length":
            self.send(normal(), with_length=False)
        elif kind == "status":
            location = fault.location or (self.base_url() + "/"
                                          if 300 <= fault.status < 400 else None)
            self.send(Reply("<html><body>status %d</body></html>" % fault.status,
                            status=fault.status,
                            headers=[("Location", location)] if location else []))
        elif kind == "empty":
            self.send(Reply(b""))
        elif kind == "broken_xml":
            self.send(Reply('<?xml version="1.0"?><reply><url>http://', "text/xml"))
        elif kind == "errorcode":
            self.send(error_reply(fault.code))
        elif kind == "body":
            self.send(Reply(fault.body))
        elif kind == "oversized":
            self.send_oversized(fault.size, fault.with_length)
        elif kind == "trickle":
            self.send_trickle(normal(), fault.interval)
        elif kind == "long_headers":
            line = "x" * 1000
            self.send(Reply(normal().body, headers=[("X-Filler-%d" % i, line)
                                                    for i in range(fault.size // 1000 + 1)]))

    def send_oversized(self, size, with_length):
        """`size` bytes of XML-looking text, sent in blocks until done or the client leaves."""
        self.send_response(200, "OK")
        self.send_header("Content-Type", "text/xml")
        if with_length:
            self.send_header("Content-Length", str(size))
        self.send_header("Connection", "close")
        self.end_headers()
        block = b"<reply>" + b"x" * ((1 << 20) - 7)
        try:
            while size > 0 and not self.state.stop.is_set():
                part = block[:size]
                self.wfile.write(part)
                size -= len(part)
            self.wfile.flush()
        except OSError:
            pass  # the client gave up, as it should

    def send_trickle(self, reply, interval):
        """The reply with its full Content-Length, the body one byte at a time."""
        self.send(reply, body=b"")
        try:
            for i in range(len(reply.body)):
                if self.state.stop.wait(interval):
                    return
                self.wfile.write(reply.body[i:i + 1])
                self.wfile.flush()
        except OSError:
            pass

    def wait_for_client_to_leave(self):
        """Hold the connection without a word until the client closes it or the service stops."""
        while not self.state.stop.is_set():
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if not readable:
                continue
            try:
                if not self.connection.recv(4096):
                    return
            except OSError:
                return

    # --- admin -----------------------------------------------------------------------

    def admin(self, path, query, body):
        if self.command == "GET" and path in ("/_admin/count", "/_admin/raw"):
            return self.admin_log_entry(path, form_fields(query))
        try:
            request = json.loads(body.decode("utf-8")) if body.strip() else {}
            result = self.admin_action(path, request)
        except (ValueError, TypeError, KeyError, AttributeError) as error:
            return Reply(json.dumps({"error": str(error)}), "application/json", status=400)
        if result is None:
            return Reply(json.dumps({"error": "unknown admin path"}), "application/json",
                         status=404)
        return Reply(json.dumps(result).encode("utf-8"), "application/json")

    def admin_log_entry(self, path, fields):
        """The plain answers to /_admin/count and /_admin/raw, for clients without JSON."""
        with self.state.lock:
            log = list(self.state.log)
        if path == "/_admin/count":
            return Reply(str(len(log)), "text/plain")
        try:
            entry = log[int(fields.get("index", ""))]
        except (ValueError, IndexError):
            return Reply("no recorded request at index %r" % fields.get("index"), "text/plain",
                         status=404)
        return Reply(base64.b64decode(entry["raw_b64"]), "application/octet-stream")

    def admin_action(self, path, request):
        state = self.state
        if path == "/_admin/log":
            with state.lock:
                return list(state.log)
        if path == "/_admin/state":
            return state.snapshot()
        if self.command != "POST":
            return None
        if path == "/_admin/reset":
            with state.lock:
                state.log.clear()
                state.faults.clear()
                state.news = None
        elif path == "/_admin/fault":
            fault = Fault(request)
            with state.lock:
                state.faults.append(fault)
        elif path == "/_admin/account":
            state.add_account(request["email"], request["password"], request.get("wallpaper"))
        elif path == "/_admin/news":
            items = request.get("items")
            if items is not None and not all(isinstance(i, dict) for i in items):
                raise ValueError("news items must be objects")
            with state.lock:
                state.news = items
        elif path == "/_admin/shutdown":
            # Stop only once this reply has gone out.
            threading.Timer(0.05, state.stop.set).start()
        else:
            return None
        return {"ok": True}


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], (ConnectionError, TimeoutError)):
            super().handle_error(request, client_address)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Local stand-in for the MURLOX service")
    parser.add_argument("--port", type=int, default=8080, help="0 picks a free port")
    parser.add_argument("--account", action="append", default=[], metavar="EMAIL:PASSWORD",
                        help="add an account (repeatable)")
    parser.add_argument("--log", metavar="FILE", help="append each request as a JSON line")
    args = parser.parse_args(argv)
    for account in args.account:
        if ":" not in account:
            parser.error("--account needs EMAIL:PASSWORD, got %r" % account)
    return args


def main(argv=None):
    args = parse_arguments(argv)
    state = ServiceState(args.log)
    for account in args.account:
        email, _, password = account.partition(":")
        state.add_account(email, password)
    handler = type("BoundHandler", (Handler,), {"state": state})
    server = Server(("127.0.0.1", args.port), handler)
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: state.stop.set())
    serving = threading.Thread(target=server.serve_forever, args=(0.1,), daemon=True)
    serving.start()
    print("listening on 127.0.0.1:%d" % server.server_address[1], flush=True)
    # Sleep rather than wait on the event: a signal handler that sets the event while this
    # thread holds the event's lock would deadlock.
    while not state.stop.is_set():
        time.sleep(0.1)
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
