#!/usr/bin/python3
"""Starts and stops the servers the client's wire tests talk to, all on free loopback ports.

    test_services.py start STATE_FILE
    test_services.py stop STATE_FILE

"start" runs, detached from the caller:
    service       the MURLOX stand-in service (tools/service/murlox_service.py)
    http_proxy    tinyproxy, open to loopback
    auth_proxy    tinyproxy demanding Basic authentication (answers 407 without it)
    socks         danted serving SOCKS 4 and SOCKS 5 without authentication
    socks5_auth   microsocks serving SOCKS 5 with user name and password only
and writes STATE_FILE as "key=value" lines: NAME_port and NAME_pid for each, and
auth_proxy_user, auth_proxy_password, socks5_auth_user, socks5_auth_password. Their
configurations and output go to a folder beside STATE_FILE. "stop" ends every process the
state file names and removes it; a "start" over an existing state file stops those first.
"""

import os
import signal
import socket
import subprocess
import sys

from waiting import accepts_connections, wait_for

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
STAND_IN = os.path.join(TOP, "tools", "service", "murlox_service.py")
PYTHON = "/usr/bin/python3"
START_TIMEOUT = 15
STOP_TIMEOUT = 5
CREDENTIALS = {
    "auth_proxy_user": "murlox-proxy", "auth_proxy_password": "pr0xy-pass",
    "socks5_auth_user": "murlox-socks", "socks5_auth_password": "s0cks-pass",
}
# What each server's process is called, so that "stop" never signals a recycled pid.
PROGRAMS = {"service": "python3", "http_proxy": "tinyproxy", "auth_proxy": "tinyproxy",
            "socks": "danted", "socks5_auth": "microsocks"}


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def tinyproxy_config(port, basic_auth=None):
    lines = ["User nobody", "Group nogroup", "Port %d" % port, "Listen 127.0.0.1",
             "Timeout 600", "MaxClients 100", "Allow 127.0.0.1", "LogLevel Info",
             "DisableViaHeader Yes"]
    if basic_auth:
        lines.append("BasicAuth %s %s" % basic_auth)
    return "\n".join(lines) + "\n"


def danted_config(port, log_file):
    # SOCKS 4 and SOCKS 5 alike; "none" lets every loopback client in without credentials.
    return """logoutput: %s
internal: 127.0.0.1 port = %d
external: 127.0.0.1
clientmethod: none
socksmethod: none
user.privileged: root
user.unprivileged: nobody
client pass {
    from: 127.0.0.1/32 to: 0.0.0.0/0
}
socks pass {
    from: 127.0.0.1/32 to: 0.0.0.0/0
    command: connect
}
""" % (log_file, port)


class Launcher:
    def __init__(self, work_dir):
        self.work_dir = work_dir
        self.state = {}

    def path(self, name):
        return os.path.join(self.work_dir, name)

    def spawn(self, name, arguments):
        """Starts a server in its own session with its output in NAME.log, so that neither
        this script's caller nor its terminal waits for it."""
        with open(self.path(name + ".log"), "wb") as log:
            process = subprocess.Popen(arguments, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=subprocess.STDOUT, start_new_session=True,
                                       cwd=self.work_dir)
        self.state[name + "_pid"] = process.pid
        return process

    def write(self, name, text):
        with open(self.path(name), "w") as out:
            out.write(text)
        return self.path(name)

    def start_stand_in(self):
        process = self.spawn("service", [PYTHON, STAND_IN, "--port", "0"])

        def announced_port():
            with open(self.path("service.log")) as log:
                line = log.readline().strip()
            if line.startswith("listening on 127.0.0.1:"):
                return int(line.rsplit(":", 1)[1])
            return None

        # Waits for the announcement, or for the end of a stand-in that failed to start.
        wait_for(lambda: announced_port() or process.poll() is not None, START_TIMEOUT, 0.05)
        port = announced_port()
        if port is None:
            raise RuntimeError("stand-in service did not start, see %s" % self.path("service.log"))
        self.state["service_port"] = port

    def start_listening(self, name, arguments_for_port):
        port = free_port()
        process = self.spawn(name, arguments_for_port(port))
        self.state[name + "_port"] = port
        # Waits for the port to take connections, or for the end of a server that failed.
        listening = wait_for(lambda: process.poll() is not None or accepts_connections(port),
                             START_TIMEOUT, 0.05)
        if not listening or process.poll() is not None:
            raise RuntimeError("%s did not start, see %s" % (name, self.path(name + ".log")))

    def start_all(self):
        self.state.update(CREDENTIALS)
        self.start_stand_in()
        self.start_listening("http_proxy", lambda port: [
            "tinyproxy", "-d", "-c", self.write("http_proxy.conf", tinyproxy_config(port))])
        self.start_listening("auth_proxy", lambda port: [
            "tinyproxy", "-d", "-c", self.write("auth_proxy.conf", tinyproxy_config(
                port, (CREDENTIALS["auth_proxy_user"], CREDENTIALS["auth_proxy_password"])))])
        self.start_listening("socks", lambda port: [
            "danted", "-f", self.write("socks.conf", danted_config(port, self.path("socks.out"))),
            "-p", self.path("socks.pid")])
        self.start_listening("socks5_auth", lambda port: [
            "microsocks", "-i", "127.0.0.1", "-p", str(port),
            "-u", CREDENTIALS["socks5_auth_user"], "-P", CREDENTIALS["socks5_auth_password"]])


def read_state(state_file):
    state = {}
    with open(state_file) as lines:
        for line in lines:
            key, equals, value = line.strip().partition("=")
            if equals:
                state[key] = value
    return state


def write_state(state_file, state):
    temporary = state_file + ".part"
    with open(temporary, "w") as out:
        out.writelines("%s=%s\n" % item for item in sorted(state.items()))
    os.replace(temporary, state_file)


def alive(pid, program):
    """True while pid is a live (not zombie) process of that program."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read()
    except OSError:
        return False
    name = fields[fields.index("(") + 1:fields.rindex(")")]
    state = fields[fields.rindex(")") + 2:].split()[0]
    return state != "Z" and name.startswith(program[:15])


def stop_pids(pids):
    """pids: (pid, program) pairs. TERM, then KILL whatever still runs after a grace period."""
    running = [(pid, program) for pid, program in pids if alive(pid, program)]
    for pid, _ in running:
        os.kill(pid, signal.SIGTERM)

    def still_running():
        return [(pid, program) for pid, program in running if alive(pid, program)]

    wait_for(lambda: not still_running(), STOP_TIMEOUT, 0.05)
    for pid, _ in still_running():
        os.kill(pid, signal.SIGKILL)


def stop(state_file):
    if not os.path.exists(state_file):
        return
    state = read_state(state_file)
    stop_pids([(int(state[name + "_pid"]), program) for name, program in PROGRAMS.items()
               if state.get(name + "_pid", "").isdigit()])
    os.remove(state_file)


def start(state_file):
    stop(state_file)
    work_dir = os.path.splitext(os.path.abspath(state_file))[0] + ".d"
    os.makedirs(work_dir, exist_ok=True)
    launcher = Launcher(work_dir)
    try:
        launcher.start_all()
    except Exception:
        stop_pids([(int(launcher.state[name + "_pid"]), program)
                   for name, program in PROGRAMS.items() if name + "_pid" in launcher.state])
        raise
    write_state(state_file, launcher.state)
    for key, value in sorted(launcher.state.items()):
        print("%s=%s" % (key, value))


def main(argv):
    if len(argv) != 3 or argv[1] not in ("start", "stop"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    (start if argv[1] == "start" else stop)(argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
