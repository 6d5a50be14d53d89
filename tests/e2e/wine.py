"""Running the client and the project's automation tool under Wine, for the end-to-end tests."""
import os
import re
import shutil
import subprocess
import threading
from pathlib import Path

from waiting import wait_for

TOP = Path(__file__).resolve().parents[2]
BUILD = TOP / "build" / "win32"
MURLOX_EXE = BUILD / "murlox.exe"
WINCTL_EXE = BUILD / "tools" / "winctl" / "winctl.exe"
VERSION = re.search(r"project\(murlox VERSION ([0-9.]+)", (TOP / "CMakeLists.txt").read_text())[1]
SETUP_EXE = BUILD / f"murlox-{VERSION}-setup.exe"


def wine_environment():
    """The environment of scripts/wine-env, read from the script itself so the two never differ."""
    script = f'source "{TOP}/scripts/wine-env" && env -0'
    out = subprocess.run(["bash", "-c", script], check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


class Display:
    """Xvfb and a running Wine server for the test session, unless a display is already given."""

    def __init__(self, env):
        self.env = env
        self.xvfb = None

    def start(self):
        if not self.env.get("DISPLAY"):
            number = 90
            while Path(f"/tmp/.X11-unix/X{number}").exists() or Path(f"/tmp/.X{number}-lock").exists():
                number += 1
            self.xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.env["DISPLAY"] = f":{number}"
            socket = Path(f"/tmp/.X11-unix/X{number}")
            if not wait_for(socket.exists, timeout=30, interval=0.05):
                raise RuntimeError(f"Xvfb :{number} never opened {socket}")
        script = 'source "$TOP/scripts/wine-env" && murlox_wine_prefix && murlox_display_start'
        subprocess.run(["bash", "-c", script], env={**self.env, "TOP": str(TOP)}, check=True)

    def stop(self):
        if self.xvfb:
            subprocess.run(["wineserver", "-k"], env=self.env, check=False)
            self.xvfb.terminate()
            self.xvfb.wait()


class Wine:
    """Windows programs and the registry of the project's Wine prefix."""

    def __init__(self, env):
        self.env = env

    def start(self, exe, *args, extra_env=None):
        return subprocess.Popen(["wine", str(exe), *args], env={**self.env, **(extra_env or {})},
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def run(self, exe, *args, timeout=30, extra_env=None):
        return subprocess.run(["wine", str(exe), *args], env={**self.env, **(extra_env or {})},
                              capture_output=True, text=True, timeout=timeout)

    def winctl(self, *args, timeout=30):
        return self.run(WINCTL_EXE, *args, timeout=timeout)

    def windows(self, *selector):
        """The windows winctl lists, as dictionaries of their fields."""
        result = self.winctl("list", *selector)
        return [parse_window(line) for line in result.stdout.splitlines() if line.strip()]

    def watch(self, *selector, msg, timeout):
        """Starts "winctl watch" on the thread of the selected window; returns once its hooks are
        in place. Its reports collect in the Watch as the thread takes the messages."""
        return Watch(self, selector, msg, timeout)

    def took_posted_messages(self, *selector, timeout=30):
        """Posts a mark to the selected window and waits until its thread has taken it; False
        when it did not within the time. A thread takes posted messages in order, so by then it
        has taken every message posted to it before, and has handled them unless a handler was
        still waiting for something else."""
        wm_null, mark = "0", "0x4d55"
        with self.watch(*selector, msg=wm_null, timeout=timeout + 30) as taken:
            assert self.winctl("post", *selector, "--msg", wm_null, "--lparam", mark).returncode == 0
            return wait_for(lambda: any(r["via"] == "posted" and r["lparam"] == mark
                                        for r in taken.reports), timeout)

    def open_tray_menu(self):
        """Presses the right button on the client's tray icon; the menu opens on button-down."""
        right_button_down = "516"
        self.winctl("post", "--class", "TTrayIconWindow", "--msg", "2048", "--lparam",
                    right_button_down)

    def client_menu(self):
        """The selector of the client's menus: Wine's taskbar opens menus of its own."""
        tray = self.windows("--class", "TTrayIconWindow")
        return ["--pid", tray[0]["pid"]] if tray else []

    def tray_menu(self):
        """The items of the open tray menu: caption -> enabled."""
        lines = self.winctl("menu", "--timeout", "10", *self.client_menu()).stdout.splitlines()
        items = [parse_window(line) for line in lines if line.strip()]
        return {i["caption"]: i["enabled"] == "1" for i in items if i["separator"] == "0"}

    def choose_from_tray_menu(self, caption):
        self.open_tray_menu()
        return self.winctl("menu-choose", "--text", caption, "--timeout", "10",
                           *self.client_menu())

    def close_menu(self, owner=None):
        """Presses Esc in the open menu of the client, or of the process the selector owner
        names, and waits until it has closed; False when it stayed open."""
        owner = self.client_menu() if owner is None else owner
        escape = "27"
        self.winctl("post", "--class", "#32768", "--visible", *owner, "--msg", "256", "--wparam",
                    escape)
        return wait_for(lambda: not self.windows("--class", "#32768", "--visible", *owner), 10)

    def close_start_menu(self):
        """Closes the Start menu of Wine's taskbar, if open, once the taskbar has taken every
        message posted to it so far. The client's desktop refresh, a command posted to the
        taskbar, opens that menu under Wine, and an open menu takes the next click anywhere."""
        taskbar = ["--class", "Shell_TrayWnd"]
        assert self.took_posted_messages(*taskbar), "the taskbar takes nothing"
        assert self.close_menu(["--pid", self.windows(*taskbar)[0]["pid"]]), \
            "the Start menu stays open"

    def exit_client(self, process, timeout=20):
        """Ends a running client the way a user does: "Exit" in its tray menu. A menu that did not
        open (the click came while the client was still busy starting) is opened again."""
        for _ in range(3):
            if self.choose_from_tray_menu("Exit").returncode == 0:
                break
            self.close_menu()
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise

    def user_folder(self, variable):
        """A folder of the prefix's user, such as LOCALAPPDATA, as Windows names it."""
        return self.run("cmd", "/c", f"echo %{variable}%").stdout.strip()

    def unix_path(self, windows_path):
        """Where a path on the prefix's drive C: or on Z: lies in the Linux file system."""
        drive, rest = windows_path[:2].upper(), windows_path[2:].replace("\\", "/")
        if drive == "Z:":
            return Path(rest)
        assert drive == "C:", windows_path
        return Path(self.env["WINEPREFIX"]) / "drive_c" / rest.lstrip("/")

    def reg(self, *args):
        return subprocess.run(["wine", "reg", *args], env=self.env, capture_output=True, text=True)

    def reg_export(self, key):
        """The key's values as exported text, without the header and export timestamps."""
        target = TOP / "build" / "e2e-export.reg"
        target.unlink(missing_ok=True)
        result = self.reg("export", key, f"Z:{target}", "/y")
        if result.returncode != 0:
            return None
        text = target.read_bytes().decode("utf-16")
        return [line for line in text.splitlines()[1:] if line.strip()]


class Watch:
    """A running "winctl watch": the messages of one number that the thread of a window takes,
    each as the dictionary of its report's fields, in order."""

    def __init__(self, wine, selector, msg, timeout):
        self.reports = []
        # As many reports as come until the timeout, not just the first.
        self.process = subprocess.Popen(
            ["wine", str(WINCTL_EXE), "watch", *selector, "--msg", str(msg), "--timeout",
             str(timeout), "--count", "1000000"],
            env=wine.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if self.process.stdout.readline().strip() != "ready":
            self.stop()
            raise RuntimeError(f"winctl watch {' '.join(selector)} did not start")
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            if line.strip():
                self.reports.append(parse_window(line))

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
        self.process.wait(timeout=30)
        # Every report printed before the end is collected.
        self.reader.join(timeout=30)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.stop()


_FIELD = re.compile(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)')


def parse_window(line):
    fields = {}
    for name, value in _FIELD.findall(line):
        fields[name] = value[1:-1].replace('\\"', '"').replace("\\\\", "\\") if value.startswith('"') else value
    return fields


def wine_path(path):
    return "Z:" + str(path).replace("/", "\\")


def require_tools():
    missing = [p for p in (MURLOX_EXE, WINCTL_EXE, SETUP_EXE) if not p.exists()]
    if missing or not shutil.which("wine"):
        raise RuntimeError(f"build the win32 preset first; missing: {missing}")
