"""The windows a user types into, driven under Wine with real clicks and keystrokes: a new
user's first sign-in, a proxy chosen in the settings, the connection failure and keeping a
wallpaper."""
import subprocess

import pytest

from client import (NO_WALLPAPER, RUN_KEY, demo_account, internet_options, keeps_password, stored,
                    wallpaper_applied)
from control import StandInService
from screen import window_screenshot
from waiting import PROGRAM_INTERVAL, accepts_connections, wait_for
from wine import centre, rect

WM_TIMER = 0x113
CYCLE_TIMER = 1  # the id of the client's ten-second cycle timer on its TfrmResources window
NEW_USER = ("new user&co+x<y@murlox.test", "p w&x+y<z")


def test_a_new_user_signs_in_by_typing_and_keeps_the_account(service, start_client):
    service.add_account(*NEW_USER)
    client = start_client(service.address, NO_WALLPAPER)
    wine = client.wine
    assert client.shown()
    wine.winctl("activate", "--class", "TfrmMain")
    left, top = rect(wine.windows("--class", "TfrmMain")[0])[:2]
    # The sign-in picture, in the middle of the main window; clicked again while the window is not
    # ready for it.
    assert wait_for(lambda: wine.click(left + 115, top + 123) or
                    wine.wait("--class", "TfrmRegisterLogin", "--visible", timeout=0.3), 10,
                    PROGRAM_INTERVAL)
    boxes = [c for c in wine.children("TfrmRegisterLogin") if c["class"] == "Button"]
    assert [b["checked"] for b in boxes] == ["1", "1"], "a first run checks both boxes"
    window_screenshot(wine, "sign-in.png", "TfrmRegisterLogin")

    wine.type_keys("user@nodot{TAB}secret{ENTER}")
    assert wine.message_box(10)[0] == "Please enter a valid email address!"
    wine.type_keys("{ENTER}")
    assert service.log() == [], "a refused address reaches nothing"

    email, password = NEW_USER
    wine.type_keys("{S-TAB}" + email + "{TAB}" + password + "{ENTER}")
    assert wallpaper_applied(wine), "the wallpaper was never applied"
    assert service.log()[0]["request_line"] == (
        "GET /actions/login.php?un=new+user%26co%2Bx%3Cy@murlox.test&pw=p+w%26x%2By%3Cz HTTP/1.1")

    assert client.exit() == 0
    settings = stored(wine)
    assert f"nickname    REG_SZ    {email}" in settings
    assert keeps_password(settings)
    assert "autologin    REG_DWORD    0x1" in settings
    assert "curdesktopid    REG_SZ    1001" in settings
    # Autostart is kept as the Run value alone.
    assert "MURLOX    REG_SZ" in wine.reg("query", RUN_KEY, "/v", "MURLOX").stdout


@pytest.mark.parametrize("setting", ["fixed proxy", "proxy script"])
def test_a_new_user_signs_in_through_the_proxy_set_in_internet_options(wine, start_client,
                                                                       setting):
    """The service is reachable only through the proxy: the client is pointed at a name that does
    not resolve, and the stand-in plays the proxy, serving the requests passed on to it."""
    email, password = NEW_USER
    with StandInService(accounts=[NEW_USER]) as service:
        service.set_news([])
        script = "function FindProxyForURL(url, host) { return 'PROXY %s'; }" % service.address
        service.fault(path="/proxy.pac", kind="body", body=script)
        options = (internet_options(proxy=service.address, bypass="<local>")
                   if setting == "fixed proxy" else
                   internet_options(script="http://%s/proxy.pac" % service.address))
        unreachable = "service.murlox.invalid:" + service.address.rpartition(":")[2]
        try:
            client = start_client(unreachable, {**NO_WALLPAPER, **options})
            assert client.shown()
            wine.winctl("activate", "--class", "TfrmMain")
            left, top = rect(wine.windows("--class", "TfrmMain")[0])[:2]
            assert wait_for(lambda: wine.click(left + 115, top + 123) or
                            wine.wait("--class", "TfrmRegisterLogin", "--visible", timeout=0.3),
                            10, PROGRAM_INTERVAL)
            wine.type_keys(email + "{TAB}" + password + "{ENTER}")
            assert wallpaper_applied(wine), "the wallpaper was never applied"
            served = [entry["request_line"] for entry in service.log()
                      if entry["path"] != "/proxy.pac"]
            assert served[0].startswith("GET http://" + unreachable + "/actions/login.php?"), served
            assert all(" http://" + unreachable + "/" in line for line in served), served
            assert client.exit() == 0
        finally:
            wine.change_registry(internet_options())


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


def test_a_proxy_chosen_in_the_settings_carries_the_next_exchange(service, signed_in,
                                                                   socks5_proxy):
    client, wine = signed_in, signed_in.wine
    port, proxy = socks5_proxy
    settings_window = ["--class", "TfrmSettings", "--visible"]
    assert client.choose_from_tray_menu("Settings...").returncode == 0
    assert wine.wait(*settings_window, timeout=10)
    window_screenshot(wine, "settings-proxy.png", "TfrmSettings")
    left, top = rect(wine.child("TfrmSettings", **{"class": "SysTabControl32"}))[:2]
    use_proxy = wine.child("TfrmSettings", text="Use a proxy server")
    use_proxy_box = ["--hwnd", use_proxy["hwnd"], "--visible"]
    wine.click(left + 30, top + 10)  # the tab "Preferences"
    assert wine.wait(*use_proxy_box, gone=True)
    window_screenshot(wine, "settings-preferences.png", "TfrmSettings")
    wine.click(left + 110, top + 10)  # back to "Proxy settings"
    assert wine.wait(*use_proxy_box)

    # Port 0 is refused with its message and nothing is stored.
    wine.click(*centre(use_proxy))
    wine.type_keys("{TAB}{DOWN}{DOWN}{TAB}127.0.0.1{TAB}0{ENTER}")
    assert wine.message_box(10)[0] == "Please enter a valid port number!"
    wine.type_keys("{ENTER}")
    assert "proxyuse" not in stored(wine)

    # The port field still has the focus: the real port, then Enter is OK.
    wine.type_keys("{S-TAB}{TAB}" + str(port) + "{ENTER}")
    assert wine.wait(*settings_window, gone=True, timeout=10)
    settings = stored(wine)
    assert "proxyuse    REG_SZ    1" in settings
    assert "proxytype    REG_SZ    socks5" in settings
    assert f"proxyport    REG_SZ    {port}" in settings

    client.choose_from_tray_menu("Settings...")
    assert wine.wait(*settings_window, timeout=10)
    realm = [c for c in wine.children("TfrmSettings") if c["class"] == "Edit"][-1]
    assert (realm["enabled"], realm["text"]) == ("0", ""), "SOCKS has no realm"
    wine.type_keys("{ESC}")
    assert wine.wait(*settings_window, gone=True, timeout=10)

    # The next exchange, a sign-in, goes through the proxy.
    client.choose_from_tray_menu("Sign out...")
    client.choose_from_tray_menu("Sign in...")
    assert wait_for(lambda: len([e for e in service.log()
                                 if e["path"] == "/actions/login.php"]) == 2, 20)
    proxy.terminate()
    record = proxy.communicate(timeout=5)[0]
    assert f"connected to 127.0.0.1:{service.port}" in record, record


def test_the_connection_failure_leads_to_the_proxy_page(start_client):
    # Nothing listens there: every sign-in finds no connection.
    client = start_client("127.0.0.1:9", demo_account(autologin=True))
    wine = client.wine
    failure = ["--class", "TfrmPopop", "--visible"]
    assert wine.wait("--class", "TTrayIconWindow")
    # The cycle timer is stopped while a sign-in runs and started again once its outcome has been
    # taken, before a failure would be shown: a tick of it comes only after that. The window made
    # last at start comes after the automatic sign-in has stopped it.
    assert client.started()
    resources = int(wine.windows("--class", "TfrmResources")[0]["hwnd"], 16)
    with wine.watch("--class", "TfrmResources", msg=WM_TIMER, timeout=120) as timers:
        assert wait_for(lambda: any(int(r["hwnd"], 16) == resources
                                    and int(r["wparam"], 16) == CYCLE_TIMER
                                    for r in timers.reports), 60), \
            "the cycle timer never ticked"
    assert not wine.visible("TfrmPopop"), "an automatic sign-in fails silently"

    client.choose_from_tray_menu("Sign in...")
    assert wine.wait(*failure)
    window_screenshot(wine, "connection-failure.png", "TfrmPopop")
    # The link "proxy settings" stands at (8, 34) of the client area, whose corner the OK button
    # at (170, 56) gives away.
    left, top = rect(wine.child("TfrmPopop", text="OK"))[:2]
    wine.click(left - 170 + 30, top - 56 + 40)
    assert wine.wait("--class", "TfrmSettings", "--visible", timeout=10)
    assert not wine.visible("TfrmPopop")
    assert wine.child("TfrmSettings", text="Use a proxy server")["visible"] == "1", \
        "the proxy page is the one shown"
    wine.type_keys("{ESC}")

    client.choose_from_tray_menu("Sign in...")
    assert wine.wait(*failure)
    wine.type_keys("{ENTER}")
    assert wine.wait(*failure, gone=True, timeout=10)
    assert client.exit() == 0


def test_keeping_a_wallpaper_stores_the_schedule_and_the_check_then_asks_nothing(service,
                                                                               signed_in):
    client, wine = signed_in, signed_in.wine
    keep = ["--class", "TfrmWPSetTime", "--visible"]
    assert client.choose_from_tray_menu("Keep this MURLO...").returncode == 0
    assert wine.wait(*keep, timeout=10)
    window_screenshot(wine, "keep-this.png", "TfrmWPSetTime")
    wine.type_keys("{DOWN}{DOWN}{ENTER}")
    assert wine.wait(*keep, gone=True, timeout=10)
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
    client.double_click_tray()
    session = "/actions/requestsession.php"
    assert wait_for(lambda: session in [e["path"] for e in service.log()[requests:]]), \
        [e["request_line"] for e in service.log()[requests:]]
    asked = [e["path"] for e in service.log()[requests:]]
    assert asked[:asked.index(session)] == []
    assert wine.wait("--class", "TfrmWPPicker", "--visible")
    assert wine.winctl("close", "--class", "TfrmWPPicker").returncode == 0
    assert wine.wait("--class", "TfrmWPPicker", "--visible", gone=True)


def test_the_keyboard_alone_signs_in_and_reaches_the_preferences_then_cancels(service,
                                                                              start_client):
    """A user without a mouse, with real keystrokes throughout. One step is the shell's: Windows
    selects a tray icon from the keyboard (Win+B, the arrows, Enter) and sends its owner the right
    button's notification. Wine's taskbar has no keyboard, so the test sends that notification."""
    client = start_client(service.address, NO_WALLPAPER)
    wine = client.wine
    settings_window = ["--class", "TfrmSettings", "--visible"]
    assert client.shown()
    assert "TfrmMain" in wine.winctl("foreground").stdout
    wine.type_keys("{ENTER}")
    assert wine.wait("--class", "TfrmRegisterLogin", "--visible", timeout=10), \
        "Enter on the main window"
    wine.type_keys("demo@murlox.test{TAB}demo{ENTER}")
    assert wallpaper_applied(wine), "the wallpaper was never applied"

    client.open_tray_menu()
    # The arrows pass over separators; the first Down reaches the first item.
    downs = list(client.menu_items()).index("Settings...") + 1
    wine.type_keys("{DOWN}" * downs + "{ENTER}")
    assert wine.wait(*settings_window, timeout=10)
    assert "TfrmSettings" in wine.winctl("foreground").stdout

    autostart = "Start MURLOX when my computer starts."
    autostart_box = wine.child("TfrmSettings", text=autostart)
    assert autostart_box["visible"] == "0", "the proxy page first"
    wine.type_keys("{C-TAB}")
    assert wine.wait("--hwnd", autostart_box["hwnd"], "--visible", timeout=10)
    # From the page's tabs: the first box, cleared; the second box, OK, Cancel.
    wine.type_keys("{TAB}{SPACE}")
    assert wait_for(lambda: wine.child("TfrmSettings", text=autostart)["checked"] == "0", 10,
                    PROGRAM_INTERVAL)
    wine.type_keys("{TAB}{TAB}{TAB}{ENTER}")
    assert wine.wait(*settings_window, gone=True, timeout=10)
    # The settings are stored when the client ends: OK would have dropped the autostart entry.
    assert client.exit() == 0
    assert "MURLOX    REG_SZ" in wine.reg("query", RUN_KEY, "/v", "MURLOX").stdout, \
        "Cancel keeps the autostart the box had"
