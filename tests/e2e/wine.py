"""Windows programs, their windows and the registry under Wine, driven through the project's
automation tool winctl, for the end-to-end tests."""
import re
import shutil
import subprocess
import tempfile
import threading
from pathlib import Path

from waiting import wait_for

TOP = Path(__file__).resolve().parents[2]
BUILD = TOP / "build" / "win32"
# The client runs as a copy in a folder of its own (see the wine fixture): it keeps its wallpaper
# beside itself, and the Windows tests, which may run meanwhile, keep theirs beside the build's.
MURLOX_EXE = TOP / "build" / "e2e-run" / "murlox.exe"
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
            number = int(self.env.get("MURLOX_DISPLAY_FROM", 90))
            while Path(f"/tmp/.X11-unix/X{number}").exists() or Path(f"/tmp/.X{number}-lock").exists():
                number += 1
            self.xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.env["DISPLAY"] = f":{number}"
            socket = Path(f"/tmp/.X11-unix/X{number}")
            if not wait_for(socket.exists, timeout=30):
                raise RuntimeError(f"Xvfb :{number} never opened {socket}")
        script = 'source "$TOP/scripts/wine-env" && murlox_wine_prefix && murlox_display_start'
        subprocess.run(["bash", "-c", script], env={**self.env, "TOP": str(TOP)}, check=True)

    def stop(self):
        if self.xvfb:
            subprocess.run(["wineserver", "-k"], env=self.env, check=False)
            self.xvfb.terminate()
            self.xvfb.wait()


class Wine:
    """Windows programs, their windows and the registry of the project's Wine prefix. Each call
    starts a Wine process, a tenth of a second and more: so waits for windows go through one
    "winctl wait", which looks every 50 ms inside its process, and registry changes through one
    "reg import"."""

    def __init__(self, env):
        self.env = env
        self._user_folders = {}

    def start(self, exe, *args, extra_env=None):
        return subprocess.Popen(["wine", str(exe), *args], env={**self.env, **(extra_env or {})},
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def run(self, exe, *args, timeout=30, extra_env=None):
        # Into files rather than pipes: a Wine service started on the way (a driver's host that
        # the client's proxy detection needs, say) inherits the output and would hold a pipe open
        # long after the program ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", str(exe), *args], env={**self.env, **(extra_env or {})},
                                  stdout=out, stderr=err, timeout=timeout)
            texts = []
            for output in (out, err):
                output.seek(0)
                # As text mode reads it: line ends as "\n".
                texts.append(output.read().decode(errors="replace").replace("\r\n", "\n"))
            return subprocess.CompletedProcess(done.args, done.returncode, *texts)

    def winctl(self, *args, timeout=30):
        return self.run(WINCTL_EXE, *args, timeout=timeout)

    def windows(self, *selector):
        """The windows winctl lists, as dictionaries of their fields."""
        result = self.winctl("list", *selector)
        return [parse_window(line) for line in result.stdout.splitlines() if line.strip()]

    def visible(self, window_class):
        return bool(self.windows("--class", window_class, "--visible"))

    def wait(self, *selector, gone=False, timeout=20):
        """Waits until a window the selector names exists, or with gone until none does; False
        when that did not come within the time."""
        until_gone = ["--gone"] if gone else []
        return self.winctl("wait", *selector, *until_gone, "--timeout", str(timeout),
                           timeout=timeout + 30).returncode == 0

    def children(self, window_class):
        """The child windows of the first window of the class, all levels."""
        lines = self.winctl("children", "--class", window_class).stdout.splitlines()
        return [parse_window(line) for line in lines if line.strip()]

    def child(self, window_class, **fields):
        return next(c for c in self.children(window_class)
                    if all(c.get(k) == v for k, v in fields.items()))

    def click(self, x, y):
        assert self.winctl("click", "--x", str(x), "--y", str(y)).returncode == 0

    def type_keys(self, text):
        assert self.winctl("type", "--text", text).returncode == 0

    def message_box(self, timeout):
        """The open message box's text and its button, once one is up."""
        assert self.wait("--class", "#32770", "--visible", timeout=timeout), "no message box"
        parts = self.children("#32770")
        text = next(c["text"] for c in parts if c["class"] == "Static" and c["text"])
        button = next(c for c in parts if c["class"] == "Button")
        return text, button

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

    def close_menu(self, owner):
        """Presses Esc in the open menu of the process the selector owner names, and waits until
        it has closed; False when it stayed open."""
        escape = "27"
        menu = ["--class", "#32768", "--visible", *owner]
        self.winctl("post", *menu, "--msg", "256", "--wparam", escape)
        return self.wait(*menu, gone=True, timeout=10)

    def start_menu_open(self):
        """Whether the Start menu of Wine's taskbar is open, once the taskbar has taken every
        message posted to it so far: the command that shows the desktop on Windows opens it."""
        taskbar = ["--class", "Shell_TrayWnd"]
        assert self.took_posted_messages(*taskbar), "the taskbar takes nothing"
        pid = self.windows(*taskbar)[0]["pid"]
        return bool(self.windows("--class", "#32768", "--visible", "--pid", pid))

    def user_folder(self, variable):
        """A folder of the prefix's user, such as LOCALAPPDATA, as Windows names it."""
        if variable not in self._user_folders:
            self._user_folders[variable] = self.run("cmd", "/c", f"echo %{variable}%").stdout.strip()
        return self._user_folders[variable]

    def unix_path(self, windows_path):
        """Where a path on the prefix's drive C: or on Z: lies in the Linux file system."""
        drive, rest = windows_path[:2].upper(), windows_path[2:].replace("\\", "/")
        if drive == "Z:":
            return Path(rest)
        assert drive == "C:", windows_path
        return Path(self.env["WINEPREFIX"]) / "drive_c" / rest.lstrip("/")

    def reg(self, *args):
        return subprocess.run(["wine", "reg", *args], env=self.env, capture_output=True, text=True)

    def change_registry(self, changes):
        """Makes the changes in one "reg import". changes maps a key (HKCU\\...) to None, which
        deletes it, or to its values: a str is stored as REG_SZ, an int as REG_DWORD, bytes as
        REG_BINARY, and None deletes the value. Deleting what is not there is no error."""
        lines = ["Windows Registry Editor Version 5.00", ""]
        for key, values in changes.items():
            root, _, path = key.partition("\\")
            name = REGISTRY_ROOTS[root] + "\\" + path
            if values is None:
                lines += [f"[-{name}]", ""]
                continue
            lines.append(f"[{name}]")
            for value, data in values.items():
                if data is None:
                    stored = "-"
                elif isinstance(data, int):
                    stored = f"dword:{data:08x}"
                elif isinstance(data, bytes):
                    stored = "hex:" + ",".join(f"{byte:02x}" for byte in data)
                else:
                    stored = '"' + data.replace("\\", "\\\\").replace('"', '\\"') + '"'
                lines.append(f'"{value}"={stored}')
            lines.append("")
        script = TOP / "build" / "e2e-import.reg"
        script.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        result = self.reg("import", wine_path(script))
        assert result.returncode == 0, result.stdout + result.stderr


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


REGISTRY_ROOTS = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE",
                  "HKCR": "HKEY_CLASSES_ROOT"}
_FIELD = re.compile(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)')


def parse_window(line):
    fields = {}
    for name, value in _FIELD.findall(line):
        fields[name] = value[1:-1].replace('\\"', '"').replace("\\\\", "\\") if value.startswith('"') else value
    return fields


def wine_path(path):
    return "Z:" + str(path).replace("/", "\\")


def rect(window, field="rect"):
    """A rectangle of a window's record (rect or client): left, top, right, bottom."""
    return tuple(int(v) for v in window[field].split(","))


def centre(window):
    left, top, right, bottom = rect(window)
    return (left + right) // 2, (top + bottom) // 2


def require_tools():
    missing = [p for p in (BUILD / "murlox.exe", WINCTL_EXE, SETUP_EXE) if not p.exists()]
    if missing or not shutil.which("wine"):
        raise RuntimeError(f"build the win32 preset first; missing: {missing}")
