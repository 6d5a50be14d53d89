"""The client's main road under Wine: automatic sign-in against the stand-in service, the
wallpaper on the desktop, the tray menu, and the way out."""
import subprocess
import time
from pathlib import Path

import pytest

from waiting import wait_for
from wine import BUILD, MURLOX_EXE, TOP

SETTINGS_KEY = r"HKCU\Software\MURLOX\Settings"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
ARTIFACTS = TOP / "build" / "e2e"
SCREEN = (1024, 768)


def stored_wallpaper(wine):
    out = wine.reg("query", DESKTOP_KEY, "/v", "Wallpaper").stdout
    line = next((l for l in out.splitlines() if "Wallpaper" in l and "REG_SZ" in l), "")
    return line.split("REG_SZ", 1)[1].strip() if "REG_SZ" in line else ""


def pixel(image, x, y):
    """The RGB of one pixel of an image file, read with ImageMagick."""
    out = subprocess.run(["convert", str(image), "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],"
                          f"%[fx:int(255*p{{{x},{y}}}.g)],%[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return tuple(int(v) for v in out.split(","))


def pixels(image, left, top, width, height):
    """The RGB of every pixel of a rectangle of an image file, row by row, in one reading."""
    out = subprocess.run(["convert", str(image), "-crop", f"{width}x{height}+{left}+{top}",
                          "+repage", "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return [tuple(out[i:i + 3]) for i in range(0, len(out), 3)]


def screenshot(wine, name):
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    target = ARTIFACTS / name
    subprocess.run(["import", "-window", "root", "-display", wine.env["DISPLAY"], str(target)],
                   check=True)
    return target


def screenshot_showing(wine, name, shows):
    """A screenshot taken once shows(shot) holds, or the last one taken if it never did: the
    desktop repaints some time after the client changed what it shows."""
    shots = []

    def taken_and_shows():
        shots.append(screenshot(wine, name))
        return shows(shots[-1])

    wait_for(taken_and_shows)
    return shots[-1]


def windows_path_to_unix(path):
    return Path(path.replace("\\", "/")[2:]) if path[1:2] == ":" else Path(path)


def store_demo_account(wine, autologin):
    for name, data in {"nickname": "demo@murlox.test", "password": "demo"}.items():
        wine.reg("add", SETTINGS_KEY, "/v", name, "/d", data, "/f")
    wine.reg("add", SETTINGS_KEY, "/v", "autologin", "/t", "REG_DWORD", "/d", str(int(autologin)),
             "/f")


@pytest.fixture
def signed_in(clean_registry, service):
    wine = clean_registry
    store_demo_account(wine, autologin=True)
    wine.reg("add", DESKTOP_KEY, "/v", "Wallpaper", "/d", "", "/f")
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": service.address})
    assert wait_for(lambda: stored_wallpaper(wine).endswith("wallpaper-desktop.bmp")), \
        "the wallpaper was never applied"
    yield wine, process
    if process.poll() is None:
        wine.exit_client(process)


def test_automatic_sign_in_puts_the_stretched_wallpaper_on_the_desktop(signed_in, service):
    wine, process = signed_in
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
    expected = {point: pixel(bitmap, *point) for point in points}

    def close(a, b):
        return all(abs(x - y) <= 8 for x, y in zip(a, b))

    def tray_pink(shot):
        # The signed-in tray image is the pink one, in the notification area at the bottom right.
        tray = pixels(shot, SCREEN[0] - 40, 752, 40, 14)
        return sum(1 for r, g, b in tray if r > 200 and g < 80 and b > 60)

    shot = screenshot_showing(wine, "desktop-signed-in.png", lambda shot: all(
        close(expected[point], pixel(shot, *point)) for point in points) and tray_pink(shot) >= 20)
    for x, y in points:
        shown = pixel(shot, x, y)
        assert close(expected[x, y], shown), (x, y, expected[x, y], shown)
    assert tray_pink(shot) >= 20


def test_the_tray_menu_follows_the_state_and_signs_out(signed_in):
    wine, process = signed_in
    wine.open_tray_menu()
    items = wine.tray_menu()
    wine.close_menu()
    assert items["Sign in..."] is False
    assert items["Sign out..."] is True
    assert items["Keep this MURLO..."] is True
    assert items["Get another MURLO..."] is True

    assert wine.choose_from_tray_menu("Sign out...").returncode == 0
    wine.open_tray_menu()
    items = wine.tray_menu()
    wine.close_menu()
    assert items["Sign in..."] is True
    assert items["Sign out..."] is False
    assert items["Keep this MURLO..."] is False
    assert items["Settings..."] is True

    assert wine.exit_client(process) == 0
    stored = wine.reg("query", SETTINGS_KEY).stdout
    assert "nickname    REG_SZ    demo@murlox.test" in stored
    assert "password    REG_SZ    demo" in stored, "automatic sign-in keeps the password"


def test_exit_without_automatic_sign_in_forgets_the_stored_password(clean_registry, service):
    wine = clean_registry
    store_demo_account(wine, autologin=False)
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": service.address})
    assert wine.winctl("wait", "--class", "TfrmMain", "--visible", "--timeout", "20").returncode == 0
    assert wine.exit_client(process) == 0
    assert service.log() == [], "without automatic sign-in nothing is sent at start"
    stored = wine.reg("query", SETTINGS_KEY).stdout
    assert "nickname    REG_SZ    demo@murlox.test" in stored
    assert "password    REG_SZ" in stored and "password    REG_SZ    demo" not in stored


def test_uninstall_handed_to_the_running_client_ends_it_with_its_settings_saved(signed_in, service):
    wine, process = signed_in
    # The wallpaper now on the desktop is known to the client only, until it stores its settings.
    assert "curdesktopid" not in wine.reg("query", SETTINGS_KEY).stdout

    started = time.monotonic()
    second = wine.run(MURLOX_EXE, "-uninstall", timeout=30)
    assert process.wait(timeout=10) == 0
    elapsed = time.monotonic() - started

    assert second.returncode == 0
    assert elapsed < 5
    stored = wine.reg("query", SETTINGS_KEY).stdout
    assert "curdesktopid    REG_SZ    1001" in stored, "saved by the client, not overwritten"
    assert "password    REG_SZ    demo" in stored



@pytest.mark.parametrize("way_out", ["Exit", "-uninstall"])
def test_the_client_ends_within_two_seconds_while_its_download_trickles(clean_registry, service,
                                                                        way_out):
    wine = clean_registry
    store_demo_account(wine, autologin=True)
    download = f"/murlos/1001-{SCREEN[0]}x{SCREEN[1]}.jpg"
    # One byte every quarter of a second: the picture would take hours.
    service.fault(path=download, kind="trickle", interval=0.25, count=1)
    process = wine.start(MURLOX_EXE, extra_env={"MURLOX_SERVICE": service.address})
    assert wait_for(lambda: any(e["path"] == download for e in service.log())), \
        [e["request_line"] for e in service.log()]
    partial = BUILD / "wallpaper.jpg.download"
    assert wait_for(partial.exists)

    if way_out == "Exit":
        # Timed from the choice: opening the menu is the user's part.
        menu = wine.client_menu()
        wine.open_tray_menu()
        assert wait_for(lambda: wine.windows("--class", "#32768", "--visible", *menu))
        started = time.monotonic()
        assert wine.winctl("menu-choose", "--text", "Exit", "--timeout", "10", *menu).returncode == 0
    else:
        started = time.monotonic()
        assert wine.run(MURLOX_EXE, way_out, timeout=30).returncode == 0
    assert process.wait(timeout=30) == 0
    elapsed = time.monotonic() - started

    assert elapsed < 2, f"{way_out} took {elapsed:.2f} s"
    assert not partial.exists(), "the partial download is deleted"
    stored = wine.reg("query", SETTINGS_KEY).stdout
    assert "maintop    REG_SZ" in stored, "the settings are stored on the way out"
    assert "password    REG_SZ    demo" in stored
