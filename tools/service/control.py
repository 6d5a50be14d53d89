"""Starts and steers the MURLOX stand-in service from pytest and scripts.

    with StandInService() as service:
        service.fault(path="/actions/news.php", kind="status", status=500, count=1)
        ... run the client with MURLOX_SERVICE=service.address ...
        assert service.log()[0]["path"] == "/actions/login.php"
"""

import http.client
import json
import os
import select
import subprocess

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "murlox_service.py")
PYTHON = "/usr/bin/python3"
START_TIMEOUT = 10


class StandInService:
    def __init__(self, accounts=(), log_file=None):
        """accounts: (email, password) pairs besides the built-in demo account."""
        self.arguments = [PYTHON, SERVER, "--port", "0"]
        for email, password in accounts:
            self.arguments += ["--account", "%s:%s" % (email, password)]
        if log_file:
            self.arguments += ["--log", str(log_file)]
        self.process = None
        self.port = None

    def start(self):
        self.process = subprocess.Popen(self.arguments, stdout=subprocess.PIPE)
        ready, _, _ = select.select([self.process.stdout], [], [], START_TIMEOUT)
        line = self.process.stdout.readline().decode("ascii", "replace").strip() if ready else ""
        if not line.startswith("listening on 127.0.0.1:"):
            self.process.kill()
            self.process.wait()
            raise RuntimeError("stand-in service did not start: %r" % line)
        self.port = int(line.rsplit(":", 1)[1])
        return self

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def address(self):
        return "127.0.0.1:%d" % self.port

    def url(self, path):
        return "http://%s%s" % (self.address, path)

    def admin(self, path, payload=None):
        """GET (no payload) or POST (JSON payload) an admin path; the decoded JSON answer."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        try:
            if payload is None and path in ("/_admin/log", "/_admin/state"):
                connection.request("GET", path)
            else:
                connection.request("POST", path, json.dumps(payload or {}),
                                   {"Content-Type": "application/json"})
            response = connection.getresponse()
            answer = json.loads(response.read().decode("utf-8"))
        finally:
            connection.close()
        if response.status != 200:
            raise RuntimeError("%s: %s" % (path, answer.get("error")))
        return answer

    def log(self):
        return self.admin("/_admin/log")

    def state(self):
        return self.admin("/_admin/state")

    def reset(self):
        self.admin("/_admin/reset", {})

    def fault(self, **fault):
        self.admin("/_admin/fault", fault)

    def add_account(self, email, password, wallpaper=None):
        self.admin("/_admin/account",
                   {"email": email, "password": password, "wallpaper": wallpaper})

    def set_news(self, items):
        """items: dicts with "message", "url", "type" (a missing key leaves the element
        out); None brings the default news back."""
        self.admin("/_admin/news", {"items": items})

    def stop(self):
        if self.process is None or self.process.poll() is not None:
            return
        try:
            self.admin("/_admin/shutdown", {})
            self.process.wait(timeout=5)
        except (OSError, RuntimeError, subprocess.TimeoutExpired):
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        finally:
            self.process.stdout.close()
