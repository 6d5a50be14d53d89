"""The windows a user types into, driven under Wine with real clicks and keystrokes: a new
user's first sign-in, a proxy chosen in the settings, the connection failure and keeping a
wallpaper."""
import subprocess

import pytest

from test_picker import double_click_tray
from test_signin import (DESKTOP_KEY, SETTINGS_KEY, screenshot, signed_in, store_demo_account,  # noqa: F401
                         stored_wallpaper)
from waiting import accepts_connections, wait_for
from wine import MURLOX_EXE, parse_window

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
WM_TIMER = 0x113
CYCLE_TIMER = 1  # the id of the client's ten-second cycle timer on its TfrmResources window
NEW_USER = ("new user&co+x<y@murlox.test", "p w&x+y<z")


def children(wine, window_class):
    lines = wine.winctl("children", "--class", window_class).stdout.splitlines()
    return [parse_window(line) for line in lines if line.strip()]


def child(wine, window_class, **fields):
    return next(c for c in children(wine, window_class)
                if all(c.get(k) == v for k, v in fields.items()))


def centre(window):
    left, top, right, bottom = (int(v) for v in window["rect"].split(","))
    return (left + right) // 2, (top + bottom) // 2


def click(wine, x, y):
    assert wine.winctl("click", "--x", str(x), "--y", str(y)).returncode == 0


def type_keys(wine, text):
    assert wine.winctl("type", "--text", text).returncode == 0


def visible(wine, window_class):
    return bool(wine.windows("--class", window_class, "--visible"))


def message_box_text(wine):
    """The text of the client's open message box, once one is up."""
    assert wait_for(lambda: visible(wine, "#32770"), 10), "no message box"
    statics = [c["text"] for c in children(wine, "#32770") if c["class"] == "Static"]
    return next(text for text in statics if text)


def stored(wine):
    return wine.reg("query", SETTINGS_KEY).stdout


def shot(wine, name, window_class):
    """A screenshot of one window of the client, cropped to it."""
    window = wine.windows("--class", window_class, "--visible")[0]
    left, top, right, bottom = (int(v) for v in window["rect"].split(","))
    whole = screenshot(wine, name)
    subprocess.run(["convert", str(whole), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", str(whole)], check=True)


def test_a_new_user_signs_in_by_typing_and_keeps_the_account(clean_registry, service):
    wine = clean_registry
    service.add_account(*NEW_USER)
    wine.reg("add", DESKTOP_KEY, "/v", "Wallpaper", "/d", "", "/f")
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": service.address})
    assert wine.winctl("wait", "--class", "TfrmMain", "--visible", "--timeout", "20").returncode == 0
    wine.winctl("activate", "--class", "TfrmMain")
    main = wine.windows("--class", "TfrmMain")[0]
    left, top = (int(v) for v in main["rect"].split(",")[:2])
    # The sign-in picture, in the middle of the main window.
    assert wait_for(lambda: click(wine, left + 115, top + 123) or visible(wine, "TfrmRegisterLogin"),
                    10)
    boxes = [c for c in children(wine, "TfrmRegisterLogin") if c["class"] == "Button"]
    assert [b["checked"] for b in boxes] == ["1", "1"], "a first run checks both boxes"
    shot(wine, "sign-in.png", "TfrmRegisterLogin")

    type_keys(wine, "user@nodot{TAB}secret{ENTER}")
    assert message_box_text(wine) == "Please enter a valid email address!"
    type_keys(wine, "{ENTER}")
    assert service.log() == [], "a refused address reaches nothing"

    email, password = NEW_USER
    type_keys(wine, "{S-TAB}" + email + "{TAB}" + password + "{ENTER}")
    assert wait_for(lambda: stored_wallpaper(wine).endswith("wallpaper-desktop.bmp")), \
        "the wallpaper was never applied"
    assert service.log()[0]["request_line"] == (
        "GET /actions/login.php?un=new+user%26co%2Bx%3Cy@murlox.test&pw=p+w%26x%2By%3Cz HTTP/1.1")

    assert wine.exit_client(process) == 0
    settings = stored(wine)
    assert f"nickname    REG_SZ    {email}" in settings
    assert f"password    REG_SZ    {password}" in settings
    assert "autologin    REG_DWORD    0x1" in settings
    assert "curdesktopid    REG_SZ    1001" in settings
    # Autostart is kept as the Run value alone.
    assert "MURLOX    REG_SZ" in wine.reg("query", RUN_KEY, "/v", "MURLOX").stdout


@pytest.fixture
def socks5_proxy():
    port_finder = subprocess.run(
        ["python3", "-c", "import socket; s=socket.socket(); s.bind(('127.0.0.1', 0)); "
         "print(s.getsockname()[1])"], capture_output=True, text=True, check=True)
    port = int(port_finder.stdout)
    proxy = subprocess.Popen(["microsocks", "-i", "127.0.0.1", "-p", str(port)],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    listening = wait_for(lambda: proxy.poll() is not None or accepts_connections(port))
    assert listening and proxy.poll() is None, "microsocks did not start"
    yield port, proxy
    proxy.terminate()


def test_a_proxy_chosen_in_the_settings_carries_the_next_exchange(signed_in, service,
                                                                   socks5_proxy):
    wine, process = signed_in
    port, proxy = socks5_proxy
    assert wine.choose_from_tray_menu("Settings...").returncode == 0
    assert wait_for(lambda: visible(wine, "TfrmSettings"), 10)
    shot(wine, "settings-proxy.png", "TfrmSettings")
    tabs = child(wine, "TfrmSettings", **{"class": "SysTabControl32"})
    left, top = (int(v) for v in tabs["rect"].split(",")[:2])
    click(wine, left + 30, top + 10)  # the tab "Preferences"
    assert wait_for(lambda: child(wine, "TfrmSettings", text="Use a proxy server")["visible"] == "0")
    shot(wine, "settings-preferences.png", "TfrmSettings")
    click(wine, left + 110, top + 10)  # back to "Proxy settings"
    assert wait_for(lambda: child(wine, "TfrmSettings", text="Use a proxy server")["visible"] == "1")

    # Port 0 is refused with its message and nothing is stored.
    click(wine, *centre(child(wine, "TfrmSettings", text="Use a proxy server")))
    type_keys(wine, "{TAB}{DOWN}{DOWN}{TAB}127.0.0.1{TAB}0{ENTER}")
    assert message_box_text(wine) == "Please enter a valid port number!"
    type_keys(wine, "{ENTER}")
    assert "proxyuse" not in stored(wine)

    # The port field still has the focus: the real port, then Enter is OK.
    type_keys(wine, "{S-TAB}{TAB}" + str(port) + "{ENTER}")
    assert wait_for(lambda: not visible(wine, "TfrmSettings"), 10)
    settings = stored(wine)
    assert "proxyuse    REG_SZ    1" in settings
    assert "proxytype    REG_SZ    socks5" in settings
    assert f"proxyport    REG_SZ    {port}" in settings

    wine.choose_from_tray_menu("Settings...")
    assert wait_for(lambda: visible(wine, "TfrmSettings"), 10)
    realm = [c for c in children(wine, "TfrmSettings") if c["class"] == "Edit"][-1]
    assert (realm["enabled"], realm["text"]) == ("0", ""), "SOCKS has no realm"
    type_keys(wine, "{ESC}")
    assert wait_for(lambda: not visible(wine, "TfrmSettings"), 10)

    # The next exchange, a sign-in, goes through the proxy.
    wine.choose_from_tray_menu("Sign out...")
    wine.choose_from_tray_menu("Sign in...")
    assert wait_for(lambda: len([e for e in service.log()
                                 if e["path"] == "/actions/login.php"]) == 2, 20)
    proxy.terminate()
    record = proxy.communicate(timeout=5)[0]
    assert f"connected to 127.0.0.1:{service.port}" in record, record


def test_the_connection_failure_leads_to_the_proxy_page(clean_registry):
    wine = clean_registry
    store_demo_account(wine, autologin=True)
    # Nothing listens there: every sign-in finds no connection.
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": "127.0.0.1:9"})
    assert wine.winctl("wait", "--class", "TTrayIconWindow", "--timeout", "20").returncode == 0
    # The cycle timer is stopped while a sign-in runs and started again once its outcome has been
    # taken, before a failure would be shown: a tick of it comes only after that. The window made
    # last at start comes after the automatic sign-in has stopped it.
    assert wine.winctl("wait", "--class", "TfrmPopop", "--timeout", "20").returncode == 0
    resources = int(wine.windows("--class", "TfrmResources")[0]["hwnd"], 16)
    with wine.watch("--class", "TfrmResources", msg=WM_TIMER, timeout=120) as timers:
        assert wait_for(lambda: any(int(r["hwnd"], 16) == resources
                                    and int(r["wparam"], 16) == CYCLE_TIMER
                                    for r in timers.reports), 60), "the cycle timer never ticked"
    assert not visible(wine, "TfrmPopop"), "an automatic sign-in fails silently"

    wine.choose_from_tray_menu("Sign in...")
    assert wait_for(lambda: visible(wine, "TfrmPopop"), 20)
    shot(wine, "connection-failure.png", "TfrmPopop")
    # The link "proxy settings" stands at (8, 34) of the client area, whose corner the OK button
    # at (170, 56) gives away.
    ok = child(wine, "TfrmPopop", text="OK")
    left, top = (int(v) for v in ok["rect"].split(",")[:2])
    click(wine, left - 170 + 30, top - 56 + 40)
    assert wait_for(lambda: visible(wine, "TfrmSettings"), 10)
    assert not visible(wine, "TfrmPopop")
    assert child(wine, "TfrmSettings", text="Use a proxy server")["visible"] == "1", \
        "the proxy page is the one shown"
    type_keys(wine, "{ESC}")

    wine.choose_from_tray_menu("Sign in...")
    assert wait_for(lambda: visible(wine, "TfrmPopop"), 20)
    type_keys(wine, "{ENTER}")
    assert wait_for(lambda: not visible(wine, "TfrmPopop"), 10)
    assert wine.exit_client(process) == 0


def test_keeping_a_wallpaper_stores_the_schedule_and_the_check_then_asks_nothing(signed_in,
                                                                               service):
    wine, process = signed_in
    assert wine.choose_from_tray_menu("Keep this MURLO...").returncode == 0
    assert wait_for(lambda: visible(wine, "TfrmWPSetTime"), 10)
    shot(wine, "keep-this.png", "TfrmWPSetTime")
    type_keys(wine, "{DOWN}{DOWN}{ENTER}")
    assert wait_for(lambda: not visible(wine, "TfrmWPSetTime"), 10)
    settings = stored(wine)
    assert "keepdayscount    REG_SZ    3" in settings
    assert "keepdaysenabled    REG_SZ    1" in settings
    assert "keepdayssetdate    REG_BINARY" in settings

    # A wake from sleep runs the hourly check at once: the schedule holds, nothing is asked.
    requests = len(service.log())
    resume_automatic = "18"
    wine.winctl("post", "--class", "TfrmResources", "--msg", "0x218", "--wparam", resume_automatic)
    # A double click posted after it is taken once the check is over, and opens the picker with a
    # session request; while an exchange of the check ran, it would do nothing.
    double_click_tray(wine)
    session = "/actions/requestsession.php"
    assert wait_for(lambda: session in [e["path"] for e in service.log()[requests:]]), \
        [e["request_line"] for e in service.log()[requests:]]
    asked = [e["path"] for e in service.log()[requests:]]
    assert asked[:asked.index(session)] == []
    assert wine.winctl("wait", "--class", "TfrmWPPicker", "--visible", "--timeout",
                       "20").returncode == 0
    assert wine.winctl("close", "--class", "TfrmWPPicker").returncode == 0
    assert wine.winctl("wait", "--class", "TfrmWPPicker", "--visible", "--gone",
                       "--timeout", "20").returncode == 0


def test_the_keyboard_alone_signs_in_and_reaches_the_preferences_then_cancels(clean_registry,
                                                                              service):
    """A user without a mouse, with real keystrokes throughout. One step is the shell's: Windows
    selects a tray icon from the keyboard (Win+B, the arrows, Enter) and sends its owner the right
    button's notification. Wine's taskbar has no keyboard, so the test sends that notification."""
    wine = clean_registry
    wine.reg("add", DESKTOP_KEY, "/v", "Wallpaper", "/d", "", "/f")
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": service.address})
    assert wine.winctl("wait", "--class", "TfrmMain", "--visible", "--timeout", "20").returncode == 0
    assert "TfrmMain" in wine.winctl("foreground").stdout
    type_keys(wine, "{ENTER}")
    assert wait_for(lambda: visible(wine, "TfrmRegisterLogin"), 10), "Enter on the main window"
    type_keys(wine, "demo@murlox.test{TAB}demo{ENTER}")
    assert wait_for(lambda: stored_wallpaper(wine).endswith("wallpaper-desktop.bmp")), \
        "the wallpaper was never applied"

    wine.open_tray_menu()
    lines = wine.winctl("menu", "--timeout", "10", *wine.client_menu()).stdout.splitlines()
    items = [parse_window(line) for line in lines if line.strip()]
    # The arrows pass over separators; the first Down reaches the first item.
    downs = [i["caption"] for i in items if i["separator"] == "0"].index("Settings...") + 1
    type_keys(wine, "{DOWN}" * downs + "{ENTER}")
    assert wait_for(lambda: visible(wine, "TfrmSettings"), 10)
    assert "TfrmSettings" in wine.winctl("foreground").stdout

    autostart = "Start MURLOX when my computer starts."
    assert child(wine, "TfrmSettings", text=autostart)["visible"] == "0", "the proxy page first"
    type_keys(wine, "{C-TAB}")
    assert wait_for(lambda: child(wine, "TfrmSettings", text=autostart)["visible"] == "1", 10)
    # From the page's tabs: the first box, cleared; the second box, OK, Cancel.
    type_keys(wine, "{TAB}{SPACE}")
    assert wait_for(lambda: child(wine, "TfrmSettings", text=autostart)["checked"] == "0", 10)
    type_keys(wine, "{TAB}{TAB}{TAB}{ENTER}")
    assert wait_for(lambda: not visible(wine, "TfrmSettings"), 10)
    # The settings are stored when the client ends: OK would have dropped the autostart entry.
    assert wine.exit_client(process) == 0
    assert "MURLOX    REG_SZ" in wine.reg("query", RUN_KEY, "/v", "MURLOX").stdout, \
        "Cancel keeps the autostart the box had"
