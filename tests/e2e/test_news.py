"""The news after an automatic sign-in under Wine: the request on the wire, the popups stacked
above the taskbar, a broken reply, and an update notice whose link ends the client."""
import base64
import subprocess
import time

import pytest

from client import NO_WALLPAPER, demo_account, keeps_password, stored
from screen import screenshot_showing
from waiting import PROGRAM_INTERVAL, wait_for
from wine import TOP, centre, rect, wine_path

POPUP = "TfrmNotifyPopUp"
# The virtual desktop's work area ends at its taskbar, 748; the popups are 148 x 121, 16 pixels
# from the right, 2 above the taskbar and 2 apart.
WORK_AREA_RIGHT, WORK_AREA_BOTTOM = 1024, 748
# The shell's "open" of a web address, pointed at a recorder for these tests.
HTTP_OPEN_KEY = r"HKCR\http\shell\open\command"
OPENED = TOP / "build" / "e2e" / "opened-link.txt"


def popups(wine):
    """The client's visible popups, lowest first: the order they were shown in."""
    shown = wine.windows("--class", POPUP, "--visible")
    return sorted(shown, key=lambda w: -int(w["rect"].split(",")[1]))


def full_size(window):
    left, top, right, bottom = rect(window)
    return (right - left, bottom - top) == (148, 121)


@pytest.fixture
def client(service, start_client):
    """start(items) starts the client signing in automatically against the service, which has
    those news."""
    def start(items):
        service.set_news(items)
        return start_client(service.address, {**demo_account(autologin=True), **NO_WALLPAPER})

    return start


def posted_body(message):
    """The client's POST body: the declaration, then everything after its first "=" with letters
    and digits unchanged, blank as "+" and every other byte as %XX."""
    text = '<?xml version="1.0"?>' + message
    head, _, tail = text.partition("=")
    return (head + "=" + "".join(c if c.isalnum() and c.isascii() else "+" if c == " " else
                                 "%%%02X" % ord(c) for c in tail)).encode("latin-1")


def test_three_news_items_stand_stacked_above_the_taskbar_in_their_order(service, client):
    texts = ["Welcome back to MURLOX!", "A new gallery: mountains at dawn.",
             "Tip: keep a MURLO for up to a week."]
    wine = client([{"message": t, "url": "{base}/actions/help.php", "type": "INFO"}
                   for t in texts]).wine
    assert wait_for(lambda: len(shown := popups(wine)) == 3 and all(map(full_size, shown)), 60,
                    PROGRAM_INTERVAL)

    news = [entry for entry in service.log() if entry["path"] == "/actions/news.php"]
    assert len(news) == 1
    body = posted_body("<message><action>GETNEWS</action><username>demo@murlox.test</username>"
                       "<password>demo</password><version>1.54</version></message>")
    assert base64.b64decode(news[0]["raw_b64"]) == (
        b"POST /actions/news.php HTTP/1.0\r\n"
        b"Host: " + service.address.encode() + b"\r\n"
        b"User-Agent: Mozilla/3.0 (compatible; MURLOX)\r\n"
        b"Accept: text/html, */*\r\n"
        b"Content-Type: text/xml; charset=\"utf-8\"\r\n"
        b"Connection: keep-alive\r\n"
        b"Content-Length: " + str(len(body)).encode() + b"\r\n"
        b"\r\n" + body)
    assert [entry["path"] for entry in service.log()][-1] == "/actions/news.php", \
        "after the wallpaper"

    shown = popups(wine)
    assert [w["title"] for w in shown] == texts, "shown in the reply's order, stacked upwards"
    right, bottom = WORK_AREA_RIGHT, WORK_AREA_BOTTOM
    assert [rect(w) for w in shown] == [
        (right - 164, bottom - 123 - 123 * i, right - 16, bottom - 2 - 123 * i) for i in range(3)]
    # Each popup: white around its text, the logo's pink at its top left.
    def white_beside_text(shot, window):
        left, top, _, _ = rect(window)
        return shot.pixel(left + 140, top + 100) == (255, 255, 255)

    def logo_pink(shot, window):
        left, top, _, _ = rect(window)
        area = shot.pixels(left + 3, top + 3, 76, 36)
        logo = [area[y * 76 + x] for x in range(0, 76, 5) for y in range(0, 36, 5)]
        return sum(1 for r, g, b in logo if r > 200 and g < 80 and b > 60)

    shot = screenshot_showing(wine, "news-popups.png", lambda shot: all(
        white_beside_text(shot, window) and logo_pink(shot, window) >= 10 for window in shown))
    subprocess.run(["convert", str(shot.path), "-crop", "180x400+844+348", "+repage",
                    str(shot.path.with_name("news-popups-stack.png"))], check=True)
    for window in shown:
        assert white_beside_text(shot, window)
        assert logo_pink(shot, window) >= 10


def test_an_item_without_its_link_shows_the_first_then_the_error_and_signs_out(client):
    started = client([{"message": "First", "url": "{base}/", "type": "INFO"},
                      {"message": "Second", "type": "INFO"},
                      {"message": "Third", "url": "{base}/", "type": "UPDATE"}])
    wine = started.wine
    text, ok = wine.message_box(30)
    assert text == "Error reading a /news/url node"
    assert [w["title"] for w in popups(wine)] == ["First"]
    wine.click(*centre(ok))
    assert wine.wait("--class", POPUP, gone=True, timeout=10), "the sign-out closes it"
    items = started.tray_menu()
    assert items["Sign in..."] is True and items["Sign out..."] is False


@pytest.fixture
def recorded_links(wine):
    """The shell's "open" of web addresses writes the address to OPENED instead of starting a
    browser."""
    before = wine.reg("query", HTTP_OPEN_KEY, "/ve").stdout
    browser = before.split("REG_SZ", 1)[1].strip() if "REG_SZ" in before else ""
    OPENED.parent.mkdir(parents=True, exist_ok=True)
    OPENED.unlink(missing_ok=True)
    wine.reg("add", HTTP_OPEN_KEY, "/ve", "/d",
             f"C:\\windows\\system32\\cmd.exe /c echo %1> {wine_path(OPENED)}", "/f")
    yield OPENED
    if browser:
        wine.reg("add", HTTP_OPEN_KEY, "/ve", "/d", browser, "/f")


def test_the_update_notice_opens_its_link_and_ends_the_client_a_second_later(
        service, client, recorded_links):
    started = client([{"message": "A new MURLOX is ready: click to install it.",
                       "url": " {base}/Setup/MURLOX-1.55.exe ", "type": "UPDATE"}])
    wine = started.wine
    assert wait_for(lambda: (shown := popups(wine)) and full_size(shown[0]), 60, PROGRAM_INTERVAL)
    # The sign-in's wallpaper is no pick of the user's: no command goes to the taskbar, which under
    # Wine would open its Start menu, and an open menu would take the click.
    assert not wine.start_menu_open()
    wine.click(*centre(popups(wine)[0]))
    clicked = time.monotonic()
    assert started.process.wait(timeout=20) == 0
    took = time.monotonic() - clicked
    assert 0.8 <= took <= 6, took
    link = recorded_links.read_text().strip()
    assert link == service.url("/setup/murlox-1.55.exe"), "opened trimmed and in lower case"
    assert not wine.windows("--class", POPUP)
    settings = stored(wine)
    assert "curdesktopid    REG_SZ    1001" in settings, "the settings were saved at the end"
    assert keeps_password(settings)
