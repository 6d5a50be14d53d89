"""The client's main road under Wine: automatic sign-in against the stand-in service, the
wallpaper on the desktop, the tray menu, and the way out."""
import subprocess
import time
from pathlib import Path

import pytest

from client import (KEEP_SETTINGS, NO_WALLPAPER, SETTINGS_KEY, account, demo_account,
                    keeps_password, password_readable, stored, stored_bytes, stored_wallpaper,
                    wallpaper_applied)
from control import StandInService
from screen import SCREEN, Picture, screenshot_showing
from waiting import wait_for
from wine import MURLOX_EXE


def windows_path_to_unix(path):
    return Path(path.replace("\\", "/")[2:]) if path[1:2] == ":" else Path(path)


def test_automatic_sign_in_puts_the_stretched_wallpaper_on_the_desktop(service, signed_in):
    wine = signed_in.wine
    requests = [entry["request_line"] for entry in service.log()]
    assert requests[0] == "GET /actions/login.php?un=demo@murlox.test&pw=demo HTTP/1.1"
    assert requests[1] == "POST /actions/wallpaperserve.php HTTP/1.0"
    assert requests[2].startswith(f"GET /murlos/1001-{SCREEN[0]}x{SCREEN[1]}.jpg")
    assert not any(w["class"] == "TfrmMain" for w in wine.windows("--visible")), \
        "signed in, the client lives in the tray only"

    bitmap = windows_path_to_unix(stored_wallpaper(wine))
    assert subprocess.run(["identify", "-format", "%w %h", str(bitmap)], capture_output=True,
                          text=True).stdout == f"{SCREEN[0]} {SCREEN[1]}"
    points = [(100, 100), (512, 384), (900, 600)]
    wallpaper = Picture(bitmap)
    expected = {point: wallpaper.pixel(*point) for point in points}

    def close(a, b):
        return all(abs(x - y) <= 8 for x, y in zip(a, b))

    def tray_pink(shot):
        # The signed-in tray image is the pink one, in the notification area at the bottom right.
        tray = shot.pixels(SCREEN[0] - 40, 752, 40, 14)
        return sum(1 for r, g, b in tray if r > 200 and g < 80 and b > 60)

    shot = screenshot_showing(wine, "desktop-signed-in.png", lambda shot: all(
        close(expected[point], shot.pixel(*point)) for point in points) and tray_pink(shot) >= 20)
    for x, y in points:
        shown = shot.pixel(x, y)
        assert close(expected[x, y], shown), (x, y, expected[x, y], shown)
    assert tray_pink(shot) >= 20


def test_the_tray_menu_follows_the_state_and_signs_out(signed_in):
    client = signed_in
    items = client.tray_menu()
    assert items["Sign in..."] is False
    assert items["Sign out..."] is True
    assert items["Keep this MURLO..."] is True
    assert items["Get another MURLO..."] is True

    assert client.choose_from_tray_menu("Sign out...").returncode == 0
    items = client.tray_menu()
    assert items["Sign in..."] is True
    assert items["Sign out..."] is False
    assert items["Keep this MURLO..."] is False
    assert items["Settings..."] is True

    assert client.exit() == 0
    settings = stored(client.wine)
    assert "nickname    REG_SZ    demo@murlox.test" in settings
    assert keeps_password(settings), "automatic sign-in keeps the password"


def test_exit_without_automatic_sign_in_forgets_the_stored_password(service, start_client):
    client = start_client(service.address, demo_account(autologin=False))
    assert client.shown()
    assert client.exit() == 0
    assert service.log() == [], "without automatic sign-in nothing is sent at start"
    settings = stored(client.wine)
    assert "nickname    REG_SZ    demo@murlox.test" in settings
    assert "password    REG_SZ" in settings and "password    REG_SZ    demo" not in settings
    assert "passwordsealed" not in settings


def test_passwords_are_stored_sealed_and_the_next_start_signs_in_with_them(start_client):
    email, password, proxy_password = "ann@murlox.test", "S3aled Pa55", "Pr0xy S3cret"
    with StandInService(accounts=[(email, password)]) as service:
        service.set_news([])
        # An older version's plain values; the proxy is the stand-in itself, which serves the
        # requests a proxy passes on.
        proxy = {"proxyuse": "1", "proxytype": "http", "proxyhost": "127.0.0.1",
                 "proxyport": service.address.rpartition(":")[2], "proxyusername": "pu",
                 "proxypassword": proxy_password}
        registry = account(email, password, autologin=True)
        registry[SETTINGS_KEY].update(proxy)
        client = start_client(service.address, {**registry, **NO_WALLPAPER})
        assert wallpaper_applied(client.wine), "the wallpaper was never applied"
        assert client.exit() == 0

        values = stored_bytes(client.wine)
        assert not password_readable(values, password), values
        assert not password_readable(values, proxy_password), values
        assert (values["password"], values["proxypassword"]) == (b"", b"")
        assert values["passwordsealed"] and values["proxypasswordsealed"]

        service.reset()
        client = start_client(service.address, {**KEEP_SETTINGS, **NO_WALLPAPER})
        assert wallpaper_applied(client.wine), "the next start did not sign in"
        login = "/actions/login.php?un=ann@murlox.test&pw=S3aled+Pa55 HTTP/1.1"
        assert service.log()[0]["request_line"] == "GET http://" + service.address + login
        assert client.choose_from_tray_menu("Settings...").returncode == 0
        assert client.wine.wait("--class", "TfrmSettings", "--visible", timeout=10)
        edits = [c["text"] for c in client.wine.children("TfrmSettings") if c["class"] == "Edit"]
        assert proxy_password in edits
        client.wine.type_keys("{ESC}")
        assert client.exit() == 0


def test_uninstall_handed_to_the_running_client_ends_it_with_its_settings_saved(signed_in):
    wine = signed_in.wine
    # The wallpaper now on the desktop is known to the client only, until it stores its settings.
    assert "curdesktopid" not in stored(wine)

    started = time.monotonic()
    second = wine.run(MURLOX_EXE, "-uninstall", timeout=30)
    assert signed_in.process.wait(timeout=10) == 0
    elapsed = time.monotonic() - started

    assert second.returncode == 0
    assert elapsed < 5
    settings = stored(wine)
    assert "curdesktopid    REG_SZ    1001" in settings, "saved by the client, not overwritten"
    assert keeps_password(settings)


@pytest.mark.parametrize("way_out", ["Exit", "-uninstall"])
def test_the_client_ends_within_two_seconds_while_its_download_trickles(service, start_client,
                                                                        way_out):
    download = f"/murlos/1001-{SCREEN[0]}x{SCREEN[1]}.jpg"
    # One byte every quarter of a second: the picture would take hours.
    service.fault(path=download, kind="trickle", interval=0.25, count=1)
    client = start_client(service.address, demo_account(autologin=True))
    wine = client.wine
    assert wait_for(lambda: any(e["path"] == download for e in service.log())), \
        [e["request_line"] for e in service.log()]
    partial = MURLOX_EXE.parent / "wallpaper.jpg.download"
    assert wait_for(partial.exists)

    if way_out == "Exit":
        # Timed from the choice: opening the menu is the user's part.
        menu = client.menu_owner()
        client.open_tray_menu()
        assert wine.wait("--class", "#32768", "--visible", *menu, timeout=30)
        started = time.monotonic()
        assert wine.winctl("menu-choose", "--text", "Exit", "--timeout", "10", *menu).returncode == 0
    else:
        started = time.monotonic()
        assert wine.run(MURLOX_EXE, way_out, timeout=30).returncode == 0
    assert client.process.wait(timeout=30) == 0
    elapsed = time.monotonic() - started

    assert elapsed < 2, f"{way_out} took {elapsed:.2f} s"
    assert not partial.exists(), "the partial download is deleted"
    settings = stored(wine)
    assert "maintop    REG_SZ" in settings, "the settings are stored on the way out"
    assert keeps_password(settings)
