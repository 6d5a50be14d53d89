"""Tests of the stand-in service, through real sockets, with requests built as the client
builds them."""

import base64
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "service"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from control import StandInService  # noqa: E402
from waiting import wait_for  # noqa: E402


@pytest.fixture(scope="module")
def service():
    with StandInService(accounts=[("a b&c@x.test", "p+w \xe9")]) as running:
        yield running


@pytest.fixture(autouse=True)
def clean(service):
    service.reset()


def query_value(text):
    """The client's encoding of sign-in query values."""
    keep = b"!$'()*-._@"
    return "".join(chr(b) if chr(b).isalnum() and b < 128 or b in keep else
                   "+" if b == 32 else "%%%02X" % b for b in text.encode("latin-1"))


def posted_body(message):
    """The client's POST body: the declaration and message, everything after the first "="
    sent with letters and digits unchanged, blank as "+", every other byte as %XX."""
    rest = ('"1.0"?>' + message).encode("latin-1")
    return b"<?xml version=" + b"".join(
        bytes([b]) if chr(b).isalnum() and b < 128 else b"+" if b == 32 else b"%%%02X" % b
        for b in rest)


def exchange(service, raw, host=None):
    """Sends raw request bytes on a fresh connection; returns (status, headers, body) read
    until the service closes the connection."""
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as connection:
        connection.sendall(raw.replace(b"{host}", (host or service.address).encode()))
        data = b""
        while chunk := connection.recv(65536):
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = dict(line.split(": ", 1) for line in lines[1:])
    return int(lines[0].split()[1]), headers, body


def get(service, target, host=None):
    return exchange(service, b"GET %s HTTP/1.1\r\nHost: {host}\r\n\r\n" % target.encode(), host)


def post(service, path, body, host=None):
    return exchange(service, b"POST %s HTTP/1.0\r\nHost: {host}\r\nContent-Type: text/xml; "
                    b'charset="utf-8"\r\nConnection: keep-alive\r\nContent-Length: %d\r\n\r\n'
                    % (path.encode(), len(body)) + body, host)


def wallpaper_message(action, email="demo@murlox.test", password="demo", size=(1920, 1080),
                      new=None):
    fields = [("action", action), ("username", email), ("password", password),
              ("xres", size[0]), ("yres", size[1])]
    fields += [("new", new), ("current", "0")] if new else [("currentdesktopid", "0")]
    fields += [("cid", "1A2B:3C4D"), ("gmt", "-300")]
    return "<message>%s</message>" % "".join("<%s>%s</%s>" % (n, v, n) for n, v in fields)


def ask_wallpaper(service, host=None, **kw):
    action = "GETNEWONE" if kw.get("new") else "GETONE"
    status, _, body = post(service, "/actions/wallpaperserve.php",
                           posted_body(wallpaper_message(action, **kw)), host)
    assert status == 200
    return ET.fromstring(body)


def jpeg_frame_size(data):
    """(width, height) from the SOF0 segment."""
    position = 2
    while data[position + 1] != 0xC0:
        position += 2 + struct.unpack(">H", data[position + 2:position + 4])[0]
    height, width = struct.unpack(">HH", data[position + 5:position + 9])
    return width, height


def test_sign_in_decodes_form_encoded_bytes_and_gives_session(service):
    _, _, accepted = get(service, "/actions/login.php?un=%s&pw=%s"
                         % (query_value("a b&c@x.test"), query_value("p+w \xe9")))
    assert accepted.startswith(b"[OK]") and len(accepted) > 4
    # The same password sent as UTF-8 is a different password.
    _, _, utf8 = get(service, "/actions/login.php?un=a+b%26c@x.test&pw=p%2Bw+%C3%A9")
    _, _, wrong = get(service, "/actions/login.php?un=demo@murlox.test&pw=demo2")
    assert b"[OK]" not in utf8 and b"[OK]" not in wrong
    _, _, session = get(service, "/actions/requestsession.php?id=" + accepted[4:].decode())
    _, _, no_session = get(service, "/actions/requestsession.php?id=nobody")
    assert session.startswith(b"[OK]") and b"[OK]" not in no_session


@pytest.mark.parametrize("size", [(1920, 1080), (1021, 767)])
def test_getone_names_current_wallpaper_downloadable_at_requested_size(service, size):
    host = "localhost:%d" % service.port
    reply = ask_wallpaper(service, host=host, size=size)
    assert (reply.findtext("id"), reply.findtext("type")) == ("1001", "jpg")
    url = reply.findtext("url")
    assert url.startswith("http://%s/" % host)
    status, headers, data = get(service, url[len("http://") + len(host):])
    assert status == 200 and int(headers["Content-Length"]) == len(data)
    assert data[:2] == b"\xff\xd8" and data[-2:] == b"\xff\xd9"
    assert jpeg_frame_size(data) == size


@pytest.mark.skipif(not shutil.which("compare"), reason="ImageMagick not installed")
def test_jpeg_decodes_to_the_same_picture_as_the_png(service, tmp_path):
    import pictures
    url = ask_wallpaper(service, size=(643, 483)).findtext("url")
    (tmp_path / "w.jpg").write_bytes(get(service, url[url.index("/murlos/"):])[2])
    (tmp_path / "w.png").write_bytes(pictures.png("1001", 643, 483))
    differing = subprocess.run(["compare", "-metric", "AE", "-fuzz", "2%", str(tmp_path / "w.jpg"),
                                str(tmp_path / "w.png"), "null:"], capture_output=True, text=True)
    assert differing.stderr.strip() == "0"
    pixel = subprocess.run(["convert", str(tmp_path / "w.png"), "-crop", "1x1+40+12", "-depth",
                            "8", "rgb:-"], capture_output=True, check=True).stdout
    assert all(abs(a - b) <= 6 for a, b in zip(pixel, (255, 7, 108)))


def test_getnewone_switches_wallpaper_of_each_type(service):
    for new, kind, magic in [("1002", "bmp", b"BM"), ("1003", "png", b"\x89PNG\r\n\x1a\n"),
                             ("1012", "url", b"<html>")]:
        reply = ask_wallpaper(service, size=(801, 601), new=new)
        assert (reply.findtext("id"), reply.findtext("type")) == (new, kind)
        url = reply.findtext("url")
        data = get(service, url[url.index("/murlos/"):])[2]
        assert data.startswith(magic)
        if kind == "bmp":
            assert struct.unpack("<ii", data[18:26]) == (801, 601)
            assert len(data) == 54 + 601 * (801 * 3 + 1)
        if kind == "png":
            assert struct.unpack(">II", data[16:24]) == (801, 601)
    assert ask_wallpaper(service).findtext("id") == "1012"
    assert ask_wallpaper(service, new="1001").findtext("id") == "1001"


def test_xml_values_decoded_as_latin1_and_refusals_carry_error_codes(service):
    assert ask_wallpaper(service, email="a b&amp;c@x.test", password="p+w \xe9").find("url") \
        is not None
    assert ask_wallpaper(service, password="Demo").findtext("errorcode") == "3"
    assert ask_wallpaper(service, new="999").findtext("errorcode") == "4"
    assert ask_wallpaper(service).find("url") is not None


def test_news_items_as_configured(service):
    message = "<message><action>GETNEWS</action><username>demo@murlox.test</username>" \
              "<password>demo</password><version>1.54</version></message>"
    assert ET.fromstring(post(service, "/actions/news.php", posted_body(message))[2]).find(
        ".//news/message").text
    service.set_news([{"message": "a & b", "url": " http://x/u ", "type": "UPDATE"},
                      {"message": "no link", "type": "INFO"}])
    items = ET.fromstring(post(service, "/actions/news.php", posted_body(message))[2]).findall(
        ".//news")
    assert [(i.findtext("message"), i.findtext("url"), i.findtext("type")) for i in items] == \
        [("a & b", " http://x/u ", "UPDATE"), ("no link", None, "INFO")]
    service.reset()
    reply = ET.fromstring(post(service, "/actions/news.php", posted_body(message))[2])
    assert len(reply.findall(".//news")) == 1 and reply.findtext(".//news/type") == "INFO", \
        "a reset brings the default news back"


def test_thumbnail_page_links_carry_marker_for_each_id(service):
    _, _, page = get(service, "/actions/wallpaper_thumbs.php?un=demo%40murlox.test&pw=demo"
                     "&currentdesktop=0&shell=client")
    assert page.count(b"cmdnewdesktopid(") == 12 and b"cmdnewdesktopid(1012)" in page
    assert b"cmdnewdesktopid(4711)" not in page, "4711 is asked for by its id only"
    assert ask_wallpaper(service, new="4711").findtext("type") == "bmp"
    _, _, refused = get(service, "/actions/wallpaper_thumbs.php?un=demo%40murlox.test&pw=x")
    assert b"cmdnewdesktopid(" not in refused


def test_drop_sends_full_length_and_half_the_body(service):
    service.fault(path="/actions/login.php", kind="drop")
    _, headers, body = get(service, "/actions/login.php?un=demo%40murlox.test&pw=demo")
    assert int(headers["Content-Length"]) > len(body) > 0 and body.startswith(b"[OK]")


def test_status_fault_counts_down_and_redirects(service):
    service.fault(path="/actions/login.php", kind="status", status=302, count=1)
    status, headers, _ = get(service, "/actions/login.php?un=demo%40murlox.test&pw=demo")
    assert status == 302 and headers["Location"].startswith("http://")
    assert get(service, "/actions/login.php?un=demo%40murlox.test&pw=demo")[2].startswith(b"[OK]")


def test_no_length_ends_body_by_closing(service):
    service.fault(path="/actions/login.php", kind="no_length")
    status, headers, body = get(service, "/actions/login.php?un=demo%40murlox.test&pw=demo")
    assert status == 200 and "Content-Length" not in headers and body.startswith(b"[OK]")


def test_oversized_sends_the_size_asked_for_with_or_without_length(service):
    service.fault(path="/actions/wallpaperserve.php", kind="oversized", size=3 << 20, count=1)
    status, headers, body = post(service, "/actions/wallpaperserve.php", b"x")
    assert status == 200 and headers["Content-Length"] == str(3 << 20) and len(body) == 3 << 20
    service.fault(path="/actions/news.php", kind="oversized", size=1000, with_length=False)
    status, headers, body = post(service, "/actions/news.php", b"x")
    assert "Content-Length" not in headers and len(body) == 1000


def test_trickle_sends_the_normal_reply_a_byte_at_a_time(service):
    service.fault(path="/actions/login.php", kind="trickle", interval=0.01)
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as connection:
        connection.sendall(b"GET /actions/login.php?un=demo%40murlox.test&pw=demo HTTP/1.1\r\n"
                           b"Host: x\r\n\r\n")
        reads = []
        while chunk := connection.recv(65536):
            reads.append(chunk)
    head, _, body = b"".join(reads).partition(b"\r\n\r\n")
    assert body.startswith(b"[OK]") and b"Content-Length: %d" % len(body) in head
    assert len(reads) > len(body) // 2  # the body did not come in one piece


def test_refuse_closes_without_reply(service):
    service.fault(path="*", kind="refuse")
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as connection:
        connection.sendall(b"GET /actions/about.php HTTP/1.1\r\nHost: x\r\n\r\n")
        assert connection.recv(100) == b""


def test_silent_blocks_neither_other_requests_nor_shutdown():
    with StandInService() as own:
        own.fault(path="/actions/news.php", kind="silent")
        hanging = socket.create_connection(("127.0.0.1", own.port), timeout=10)
        hanging.sendall(b"POST /actions/news.php HTTP/1.0\r\nContent-Length: 0\r\n\r\n")
        # Taken in before the next one comes, so that the log's order is the requests' order.
        assert wait_for(lambda: own.log())
        _, _, body = get(own, "/actions/login.php?un=demo%40murlox.test&pw=demo")
        assert body.startswith(b"[OK]")
        assert [entry["path"] for entry in own.log()] == ["/actions/news.php",
                                                          "/actions/login.php"]
        own.process.send_signal(signal.SIGTERM)
        assert own.process.wait(timeout=10) == 0
        assert hanging.recv(100) == b""
        hanging.close()


def test_log_holds_request_as_received(service):
    body = posted_body(wallpaper_message("GETONE", password="<&\xe9>"))
    post(service, "/actions/wallpaperserve.php", body)
    [entry] = service.log()
    assert base64.b64decode(entry["body_b64"]) == body
    assert body.startswith(b"<?xml version=%221%2E0%22%3F%3E%3Cmessage%3E")
    assert b"%3Cpassword%3E%3C%26%E9%3E%3C%2Fpassword%3E" in body
    assert entry["request_line"] == "POST /actions/wallpaperserve.php HTTP/1.0"
    assert entry["headers"] == ["Host: " + service.address,
                                'Content-Type: text/xml; charset="utf-8"',
                                "Connection: keep-alive", "Content-Length: %d" % len(body)]
    service.reset()
    assert service.log() == []


def test_admin_count_and_raw_give_requests_byte_for_byte(service):
    first = b"GET /actions/about.php?a=1 HTTP/1.1\r\nHost: x\nX-Odd:  two  blanks \r\n\r\n"
    body = b"k=a+b%0D%0A\r\n\x00\xff"
    second = b"POST /actions/news.php HTTP/1.0\r\nContent-Length: %d\r\n\r\n" % len(body) + body
    exchange(service, first)
    exchange(service, second)
    assert get(service, "/_admin/count")[2] == b"2"
    assert get(service, "/_admin/raw?index=0")[2] == first
    assert get(service, "/_admin/raw?index=1")[2] == second
    assert get(service, "/_admin/raw?index=-1")[2] == second
    assert get(service, "/_admin/raw?index=-2")[2] == first
    assert [get(service, "/_admin/raw?index=%s" % i)[0] for i in ("2", "-3", "x", "")] == [404] * 4
    assert get(service, "/_admin/count")[2] == b"2"  # admin requests are not recorded
    service.reset()
    assert get(service, "/_admin/count")[2] == b"0"
