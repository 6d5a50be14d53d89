"""The wallpaper picker under Wine, signed in against the stand-in service.

Wine's browser control has no HTML engine here: it fetches the thumbnail page and raises
BeforeNavigate2 for it, but shows nothing and raises no DocumentComplete, so no thumbnail can be
clicked and no error page appears. The click and the error page are tested in
tests/windows/picker_window_test.cpp through the host's event sink. Here the one navigation the
control does raise carries the marker when the account's password holds it, which lets the real
control's own event pick a wallpaper end to end."""
import pytest

import pictures
from client import NO_WALLPAPER, account, stored_wallpaper, wallpaper_applied
from control import StandInService
from screen import ARTIFACTS, SCREEN, Picture, screenshot
from waiting import PROGRAM_INTERVAL, wait_for
from wine import MURLOX_EXE, rect

WORK_AREA = (0, 0, 1024, 748)  # the virtual desktop's, above its taskbar
PROGRAM_FOLDER = MURLOX_EXE.parent
# The thumbnail page address holds the password, so the control's own BeforeNavigate2 for that
# address reports the marker and the id 4711.
MARKER_ACCOUNT = ("marker@murlox.test", "cmdnewdesktopid(4711)")


def request_lines(service):
    return [entry["request_line"] for entry in service.log()]


@pytest.fixture
def sign_in(start_client):
    """sign_in(email, password) starts the stand-in with that account and no news, and the client
    with the account stored and automatic sign-in on, and returns the client and the stand-in,
    its log emptied, once the sign-in's wallpaper is on the desktop and its news asked for. The
    client exits through its tray menu after the test, before the stand-in stops."""
    running = []

    def start(email, password):
        service = StandInService(accounts=[(email, password)]).start()
        service.set_news([])  # no popups over what the screenshots look at
        for name in ("wallpaper.bmp", "wallpaper.jpg"):
            (PROGRAM_FOLDER / name).unlink(missing_ok=True)
        client = start_client(service.address,
                              {**account(email, password, autologin=True), **NO_WALLPAPER})
        running.append((client, service))
        assert wallpaper_applied(client.wine), "the sign-in's wallpaper was never applied"
        assert wait_for(lambda: any("/actions/news.php" in line
                                    for line in request_lines(service))), "the sign-in's news"
        service.reset()
        return client, service

    yield start
    for client, service in reversed(running):
        client.end()
        service.stop()


def test_a_double_click_opens_the_picker_on_the_accounts_thumbnail_page(wine, sign_in):
    client, service = sign_in("pick&er#1@murlox.test", "p&ss #1")
    client.double_click_tray()
    assert wine.wait("--class", "TfrmWPPicker", "--visible"), "the picker never opened"
    picker = wine.windows("--class", "TfrmWPPicker")[0]
    assert picker["title"] == "Get another MURLO"
    left, top, right, bottom = rect(picker)
    client_left, client_top, client_right, client_bottom = rect(picker, "client")
    assert (client_right - client_left, client_bottom - client_top) == (365, 249)
    assert abs((left + right) - (WORK_AREA[0] + WORK_AREA[2])) <= 1, "centred across"
    assert abs((top + bottom) - (WORK_AREA[1] + WORK_AREA[3])) <= 1, "centred down"

    thumbnails = ("GET /actions/wallpaper_thumbs.php?un=pick%26er%231@murlox.test"
                  "&pw=p%26ss+%231&currentdesktop=1001&shell=client HTTP/1.1")
    assert wait_for(lambda: thumbnails in request_lines(service), timeout=10), \
        request_lines(service)
    lines = request_lines(service)
    assert lines[0].startswith("GET /actions/requestsession.php?id=L")
    assert lines.index(thumbnails) > 0

    shot = screenshot(wine, "picker-open.png")
    margin = [(client_left + 4, client_top + 4), (client_right - 4, client_bottom - 8),
              (client_left + 180, client_bottom - 6)]
    assert all(shot.pixel(x, y) == (255, 255, 255) for x, y in margin), "a white margin"

    assert wine.winctl("close", "--class", "TfrmWPPicker").returncode == 0
    assert wine.wait("--class", "TfrmWPPicker", "--visible", gone=True, timeout=10)
    assert not any("wallpaperserve" in line for line in request_lines(service)), \
        "the close box picks nothing"

    service.reset()
    assert client.choose_from_tray_menu("Get another MURLO...").returncode == 0
    assert wine.wait("--class", "TfrmWPPicker", "--visible"), \
        "the menu's default item opens it too"
    assert wait_for(lambda: thumbnails in request_lines(service), timeout=10), \
        "each opening loads the page afresh"
    wine.winctl("close", "--class", "TfrmWPPicker")


def test_a_navigation_with_the_marker_is_cancelled_and_that_wallpaper_comes(wine, sign_in):
    client, service = sign_in(*MARKER_ACCOUNT)
    client.double_click_tray()
    assert wait_for(lambda: (PROGRAM_FOLDER / "wallpaper.bmp").exists(), timeout=30), \
        request_lines(service)
    assert wine.wait("--class", "TfrmWPPicker", "--visible", gone=True, timeout=10)
    # The stand-in logs a request once it has answered it, which may come after the file exists.
    assert wait_for(lambda: len(service.log()) >= 3)

    log = service.log()
    lines = [entry["request_line"] for entry in log]
    assert lines[0].startswith("GET /actions/requestsession.php?id=L")
    assert lines[1] == "POST /actions/wallpaperserve.php HTTP/1.0"
    assert lines[2].startswith(f"GET /murlos/4711-{SCREEN[0]}x{SCREEN[1]}.bmp ")
    assert not any("wallpaper_thumbs" in line for line in lines), "the navigation was cancelled"
    body = log[1]["body_latin1"]
    assert "%3Caction%3EGETNEWONE%3C%2Faction%3E" in body
    assert "%3Cnew%3E4711%3C%2Fnew%3E%3Ccurrent%3E1001%3C%2Fcurrent%3E" in body

    expected = ARTIFACTS / "wallpaper-4711.bmp"
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    expected.write_bytes(pictures.bmp("4711", *SCREEN))
    wallpaper = Picture(expected)

    def desktop_shows_4711():
        shot = screenshot(wine, "desktop-picked-4711.png")
        return all(all(abs(a - b) <= 8 for a, b in zip(wallpaper.pixel(x, y), shot.pixel(x, y)))
                   for x, y in [(100, 100), (512, 384), (900, 600)])
    assert wait_for(desktop_shows_4711, 15, PROGRAM_INTERVAL), "the picked wallpaper is not shown"
    assert stored_wallpaper(wine).endswith("wallpaper-desktop-2.bmp"), \
        "the pick goes to the bitmap the sign-in's wallpaper did not"


def test_the_picker_stays_shut_without_a_session_or_while_a_download_runs(wine, sign_in):
    client, service = sign_in(*MARKER_ACCOUNT)
    service.fault(path="/actions/requestsession.php", kind="body", body="[ERR] no session",
                  count=1)
    client.double_click_tray()
    assert wait_for(lambda: any("requestsession" in l for l in request_lines(service)))
    assert wine.winctl("wait", "--class", "TfrmWPPicker", "--visible", "--timeout",
                       "2").returncode == 1, "no session, no picker"
    assert not any("wallpaper_thumbs" in line for line in request_lines(service))

    # The picked wallpaper downloads slowly; a double click meanwhile starts nothing, not even the
    # session request: one exchange at a time.
    service.reset()
    service.fault(path=f"/murlos/4711-{SCREEN[0]}x{SCREEN[1]}.bmp", kind="delay", seconds=4,
                  count=1)
    client.double_click_tray()
    assert wine.wait("--class", "TfrmDownloader", "--visible")
    client.double_click_tray()
    # The download window's messages run while it waits: the click is handled before it goes.
    assert wine.wait("--class", "TfrmDownloader", gone=True)
    assert not wine.windows("--class", "TfrmWPPicker", "--visible"), \
        "the picker does not open over a download"
    assert sum("requestsession" in l for l in request_lines(service)) == 1
    assert sum("wallpaperserve" in line for line in request_lines(service)) == 1
