"""The client under test: its settings in the registry, and a running murlox.exe driven the way a
user drives it, through its tray icon."""
import re
import struct
import subprocess

from waiting import PROGRAM_INTERVAL, wait_for
from wine import TOP, parse_window, wine_path

SETTINGS_KEY = r"HKCU\Software\MURLOX\Settings"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# Registry changes for Wine.change_registry.
FIRST_RUN = {r"HKCU\Software\MURLOX": None, RUN_KEY: {"MURLOX": None}}
NO_WALLPAPER = {DESKTOP_KEY: {"Wallpaper": ""}}
# Registry changes for a start that finds the settings an earlier one stored: they keep the key
# that a first run's changes delete.
KEEP_SETTINGS = {r"HKCU\Software\MURLOX": {}}
APP_WINDOW = ["--class", "TMurloxApplication", "--title", "MURLOX"]
TRAY_CALLBACK = "2048"


INTERNET_SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


def internet_options(proxy="", bypass="", script=""):
    """The Windows user's proxy settings, written as Internet Options writes them: the values
    WinINet reads and the default connection's record, which WinHTTP reads. With no arguments,
    none of them: Windows' default, automatic detection, applies."""
    if not (proxy or script):
        return {INTERNET_SETTINGS_KEY: {"ProxyEnable": None, "ProxyServer": None,
                                        "ProxyOverride": None, "AutoConfigURL": None},
                INTERNET_SETTINGS_KEY + r"\Connections": {"DefaultConnectionSettings": None}}
    flags = 1 | (2 if proxy else 0) | (4 if script else 0)
    record = struct.pack("<III", 0x46, 1, flags)
    for text in (proxy, bypass, script):
        record += struct.pack("<I", len(text)) + text.encode("ascii")
    return {INTERNET_SETTINGS_KEY: {"ProxyEnable": int(bool(proxy)), "ProxyServer": proxy,
                                    "ProxyOverride": bypass, "AutoConfigURL": script or None},
            INTERNET_SETTINGS_KEY + r"\Connections":
                {"DefaultConnectionSettings": record + bytes(32)}}


def account(email, password, autologin):
    """The settings of a stored account."""
    return {SETTINGS_KEY: {"nickname": email, "password": password, "autologin": int(autologin)}}


def demo_account(autologin):
    return account("demo@murlox.test", "demo", autologin)


def stored(wine):
    """The client's settings as "reg query" lists them."""
    return wine.reg("query", SETTINGS_KEY).stdout


def keeps_password(settings):
    """Whether the "reg query" listing holds the password sealed, its plain value empty."""
    return ("passwordsealed    REG_BINARY    " in settings
            and re.search(r"^\s*password    REG_SZ\s*$", settings, re.MULTILINE) is not None)


def stored_bytes(wine):
    """Every value of the client's settings as its name and the bytes it holds, from the file
    "reg export" writes: text as the system's ANSI code page writes it, REG_BINARY and the other
    hexadecimal forms as they stand, a REG_DWORD as its four bytes."""
    exported = TOP / "build" / "e2e-export.reg"
    exported.unlink(missing_ok=True)
    result = wine.reg("export", SETTINGS_KEY, wine_path(exported), "/y")
    assert result.returncode == 0, result.stdout + result.stderr
    text = exported.read_bytes().decode("utf-16").replace("\\\r\n", "").replace("\\\n", "")
    values = {}
    for name, data in re.findall(r'^"((?:[^"\\]|\\.)*)"=(.*)$', text, re.MULTILINE):
        data = data.strip()
        if data.startswith('"'):
            values[name] = data[1:-1].replace('\\"', '"').replace("\\\\", "\\").encode("cp1252")
        elif data.startswith("dword:"):
            values[name] = int(data[6:], 16).to_bytes(4, "little")
        else:
            values[name] = bytes.fromhex(data.partition(":")[2].replace(",", ""))
    return values


def password_readable(values, password):
    """Whether any of the values holds the password as ANSI or as UTF-16 text."""
    forms = (password.encode("cp1252"), password.encode("utf-16-le"))
    return any(form in data for data in values.values() for form in forms)


def stored_wallpaper(wine):
    out = wine.reg("query", DESKTOP_KEY, "/v", "Wallpaper").stdout
    line = next((l for l in out.splitlines() if "Wallpaper" in l and "REG_SZ" in l), "")
    return line.split("REG_SZ", 1)[1].strip() if "REG_SZ" in line else ""


def wallpaper_applied(wine):
    """Whether a sign-in's wallpaper comes on the desktop within the time."""
    return wait_for(lambda: stored_wallpaper(wine).endswith("wallpaper-desktop.bmp"),
                    interval=PROGRAM_INTERVAL)


class Client:
    """One running murlox.exe, started by the fixtures of conftest.py."""

    def __init__(self, wine, process):
        self.wine = wine
        self.process = process
        self._menu_owner = []

    def started(self, timeout=20):
        """Whether all its windows exist within the time: the connection-failure window is the
        last of the windows created at start."""
        return self.wine.wait("--class", "TfrmPopop", timeout=timeout)

    def shown(self, timeout=20):
        """Whether its main window shows within the time."""
        return self.wine.wait("--class", "TfrmMain", "--visible", timeout=timeout)

    def menu_owner(self):
        """The selector of the client's menus, as Wine's taskbar opens menus of its own; known
        once its tray icon is there."""
        if not self._menu_owner:
            tray = self.wine.windows("--class", "TTrayIconWindow")
            self._menu_owner = ["--pid", tray[0]["pid"]] if tray else []
        return self._menu_owner

    def open_tray_menu(self):
        """Presses the right button on the client's tray icon; the menu opens on button-down."""
        right_button_down = "516"
        self.wine.winctl("post", "--class", "TTrayIconWindow", "--msg", TRAY_CALLBACK,
                         "--lparam", right_button_down)

    def double_click_tray(self):
        left_double_click = "515"
        self.wine.winctl("post", "--class", "TTrayIconWindow", "--msg", TRAY_CALLBACK,
                         "--lparam", left_double_click)

    def menu_items(self):
        """The items of the open tray menu: caption -> enabled, in the menu's order."""
        lines = self.wine.winctl("menu", "--timeout", "10", *self.menu_owner()).stdout.splitlines()
        items = [parse_window(line) for line in lines if line.strip()]
        return {i["caption"]: i["enabled"] == "1" for i in items if i["separator"] == "0"}

    def tray_menu(self):
        """The items of the tray menu, opened for reading and closed again."""
        self.open_tray_menu()
        items = self.menu_items()
        self.close_menu()
        return items

    def choose_from_tray_menu(self, caption):
        self.open_tray_menu()
        return self.wine.winctl("menu-choose", "--text", caption, "--timeout", "10",
                                *self.menu_owner())

    def close_menu(self):
        return self.wine.close_menu(self.menu_owner())

    def exit(self, timeout=20):
        """Ends the client the way a user does: "Exit" in its tray menu; its exit status. A menu
        that did not open (the click came while the client was still busy starting) is opened
        again."""
        for _ in range(3):
            if self.choose_from_tray_menu("Exit").returncode == 0:
                break
            self.close_menu()
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise

    def end(self):
        """Exits unless the client has ended already."""
        if self.process.poll() is None:
            self.exit()
