"""Start-up of the real client under Wine: the single-instance rule and the two switches."""
import subprocess
import time

from client import APP_WINDOW, RUN_KEY, SETTINGS_KEY, keeps_password, stored
from waiting import PROGRAM_INTERVAL, wait_for
from wine import BUILD, MURLOX_EXE, WINCTL_EXE, wine_path

HAND_OVER_MESSAGE = "1125"


def visible_windows(wine):
    return {(w["hwnd"], w["class"], w["title"]) for w in wine.windows("--visible")}


def start_watch(wine, timeout):
    watch = subprocess.Popen(
        ["wine", str(WINCTL_EXE), "watch", *APP_WINDOW, "--msg", HAND_OVER_MESSAGE,
         "--timeout", str(timeout)], env=wine.env, stdout=subprocess.PIPE, text=True)
    assert watch.stdout.readline().strip() == "ready"
    return watch


def test_uninstall_ends_at_once_and_writes_the_settings_back_as_loaded(clean_registry, service):
    wine = clean_registry
    own_run_value = wine_path(MURLOX_EXE) + " -boot"
    values = {
        "nickname": "demo@murlox.test", "curdesktopid": "1004",
        "proxyuse": "1", "proxytype": "http", "proxyhost": "127.0.0.1", "proxyport": "3128",
        "proxyusername": "", "proxypassword": "", "proxyrealm": "", "maintop": "300",
    }
    wine.change_registry({
        # mainleft is stored with blanks around it, so a rewrite shows as the plain number.
        SETTINGS_KEY: {**values, "password": "demo", "autologin": 1, "mainleft": " 120 "},
        RUN_KEY: {"MURLOX": own_run_value},
    })
    before = visible_windows(wine)

    started = time.monotonic()
    result = wine.run(MURLOX_EXE, "-uninstall", timeout=30,
                      extra_env={"MURLOX_SERVICE": service.address})
    elapsed = time.monotonic() - started

    assert result.returncode == 0
    assert elapsed < 10
    assert service.log() == [], "no sign-in and no other request"
    assert visible_windows(wine) == before
    settings = stored(wine)
    for name, data in values.items():
        assert f"{name}    REG_SZ    {data}".rstrip() in settings
    assert "mainleft    REG_SZ    120" in settings
    assert keeps_password(settings), "the plain password is written back sealed"
    assert "autologin    REG_DWORD    0x1" in settings
    assert own_run_value in wine.reg("query", RUN_KEY, "/v", "MURLOX").stdout


def test_uninstall_beside_a_copy_that_never_answers_ends_all_the_same(clean_registry):
    wine = clean_registry
    hung = subprocess.Popen(["wine", str(BUILD / "hung_instance_window.exe")], env=wine.env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        assert hung.stdout.readline().strip() == "ready"
        # Well above the few seconds that the hand-over waits.
        result = wine.run(MURLOX_EXE, "-uninstall", timeout=30)
    finally:
        hung.stdin.close()
        hung.wait(timeout=30)
    assert result.returncode == 0


def test_a_stored_place_on_no_monitor_leaves_the_main_window_at_its_designed_place(
        service, start_client):
    # Where the main window was dragged to on a monitor that has been unplugged since.
    client = start_client(service.address, {SETTINGS_KEY: {"mainleft": "40000",
                                                           "maintop": "40000"}})
    assert client.shown()
    window = client.wine.windows("--class", "TfrmMain")[0]
    assert client.exit() == 0
    assert window["rect"].startswith("504,287,"), window["rect"]


# The tests below share one running client (first_instance) and leave it as they found it; they
# stay the module's last, as it runs until the module ends.


def test_second_boot_start_hands_over_its_arguments_and_ends(wine, first_instance):
    watch = start_watch(wine, timeout=30)
    before = visible_windows(wine)
    started = time.monotonic()
    second = wine.run(MURLOX_EXE, "-boot", timeout=30)
    elapsed = time.monotonic() - started
    reports = watch.communicate(timeout=30)[0].splitlines()

    assert second.returncode == 0
    assert elapsed < 10
    assert len(reports) == 1
    assert f"msg={HAND_OVER_MESSAGE} " in reports[0]
    assert 'atom="-boot "' in reports[0]
    assert visible_windows(wine) == before
    assert first_instance.process.poll() is None, "the first instance must keep running"


def test_second_start_without_arguments_sends_nothing_but_brings_the_first_to_front(
        wine, first_instance):
    # The user had the sign-in window open, then went to another program.
    assert wine.winctl("activate", "--class", "TfrmRegisterLogin").returncode == 0
    other = wine.start("notepad")
    assert wine.wait("--class", "Notepad", "--visible")
    assert wait_for(lambda: 'class="Notepad"' in wine.winctl("foreground").stdout,
                    interval=PROGRAM_INTERVAL), \
        "Notepad never came to the front"

    with wine.watch(*APP_WINDOW, msg=HAND_OVER_MESSAGE, timeout=120) as hand_overs:
        second = wine.run(MURLOX_EXE, timeout=30)
        # A hand-over is sent, and reported, before the second start ends; one posted instead
        # would be taken before a mark posted after it.
        assert wine.took_posted_messages(*APP_WINDOW)
    reports = hand_overs.reports
    foreground = wine.winctl("foreground").stdout
    wine.winctl("close", "--class", "Notepad")
    other.wait(timeout=15)

    assert second.returncode == 0
    assert reports == [], "no arguments, so nothing is handed over"
    assert 'class="TfrmRegisterLogin"' in foreground
    assert first_instance.process.poll() is None


def test_private_messages_from_another_program_change_nothing(wine, first_instance):
    """Any program on the desktop can send the client's private message numbers with parameters
    of its own choosing: the worker's hand-over, the instance hand-over and the tray callback; and
    the system's messages whose lParam is a pointer within the client (WM_NOTIFY, and
    WM_DPICHANGED with a DPI a screen has)."""
    junk = ["--wparam", "0x5A5A", "--lparam", "0x10"]
    at_screen_dpi = ["--wparam", "0x600060", "--lparam", "0x10"]
    wm_notify, wm_dpichanged = "0x4E", "0x2E0"
    deliveries = [("32769", "TfrmResources", junk),
                  (HAND_OVER_MESSAGE, "TMurloxApplication", junk),
                  (HAND_OVER_MESSAGE, "TfrmMain", junk),
                  ("2048", "TTrayIconWindow", junk),
                  (wm_notify, "TfrmRegisterLogin", junk),
                  (wm_dpichanged, "TfrmRegisterLogin", at_screen_dpi),
                  (wm_dpichanged, "TfrmMain", at_screen_dpi)]
    before = visible_windows(wine)
    for message, window_class, parameters in deliveries:
        sent = wine.winctl("post", "--class", window_class, "--msg", message, *parameters)
        assert sent.returncode == 0, (message, window_class, sent.stderr)
        # A client that crashed on it would not answer any more.
        alive = wine.winctl("send", "--class", "TfrmResources", "--msg", "0", "--timeout", "5")
        assert alive.returncode == 0, (message, window_class)
    # The windows are all the user-interface thread's: what was posted to them has been handled.
    assert wine.took_posted_messages("--class", "TfrmResources")
    assert visible_windows(wine) == before
    assert first_instance.process.poll() is None


def test_second_start_restores_the_first_ones_minimised_window(wine, first_instance):
    wm_syscommand, sc_minimize = "0x112", "0xF020"
    sign_in = ["--class", "TfrmRegisterLogin"]
    assert wine.winctl("activate", *sign_in).returncode == 0
    wine.winctl("send", *sign_in, "--msg", wm_syscommand, "--wparam", sc_minimize)
    assert wine.windows(*sign_in)[0]["rect"].startswith("-32000"), "minimised"

    assert wine.run(MURLOX_EXE, timeout=30).returncode == 0
    assert not wine.windows(*sign_in)[0]["rect"].startswith("-32000")
    assert wine.windows(*sign_in)[0]["visible"] == "1"
