"""The setup program and its uninstaller under Wine: a per-user install without elevation, an
update over a running client, and a removal that ends the client and keeps its settings."""
import re
import shutil
import struct
import subprocess

import pytest

from client import APP_WINDOW, RUN_KEY, SETTINGS_KEY, stored
from waiting import PROGRAM_INTERVAL, wait_for
from wine import MURLOX_EXE, SETUP_EXE, TOP, VERSION

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MURLOX"
MACHINE_UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MURLOX"


class Installation:
    """Where the setup puts the client for the prefix's user."""

    def __init__(self, wine):
        self.wine = wine
        self.folder_name = wine.user_folder("LOCALAPPDATA") + r"\Programs\MURLOX"
        self.program_name = self.folder_name + r"\murlox.exe"
        self.folder = wine.unix_path(self.folder_name)
        self.program = self.folder / "murlox.exe"
        self.uninstaller = self.folder / "uninstall.exe"
        self.shortcut = wine.unix_path(wine.user_folder("APPDATA") +
                                       r"\Microsoft\Windows\Start Menu\Programs\MURLOX.lnk")

    def entry(self):
        """The values of the uninstall entry: name -> (type, data); None when it is missing."""
        result = self.wine.reg("query", UNINSTALL_KEY)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            parts = re.split(r" {4}", line.strip(), maxsplit=2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    def remove(self):
        for path in (self.program, self.uninstaller, self.shortcut):
            path.unlink(missing_ok=True)
        for leftover in self.folder.glob("*") if self.folder.exists() else ():
            leftover.unlink()
        if self.folder.exists():
            self.folder.rmdir()
        self.wine.reg("delete", UNINSTALL_KEY, "/f")


def running_client_pids(wine):
    return [w["pid"] for w in wine.windows(*APP_WINDOW)]


@pytest.fixture
def installation(clean_registry, service):
    wine = clean_registry
    assert running_client_pids(wine) == [], "a client is still running"
    place = Installation(wine)
    place.remove()
    yield place
    if running_client_pids(wine):
        wine.run(place.program_name if place.program.exists() else MURLOX_EXE, "-uninstall")
        wine.wait(*APP_WINDOW, gone=True)
    place.remove()


def install(wine, service):
    # Not through pipes: a client the setup starts again would hold them open.
    result = subprocess.run(["wine", str(SETUP_EXE), "/S"],
                            env={**wine.env, "MURLOX_SERVICE": service.address},
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    assert result.returncode == 0


def version_strings(pe):
    """The string values of a program's version information."""
    text = pe.decode("utf-16-le", "replace")
    names = ["CompanyName", "FileDescription", "FileVersion", "ProductName", "ProductVersion"]
    found = {name: re.search(name + "\x00+([^\x00]*)\x00", text) for name in names}
    return {name: match[1] for name, match in found.items() if match}


def icon_images(ico):
    """The image data of each size in an .ico file."""
    count = struct.unpack_from("<HHH", ico)[2]
    entries = (struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i) for i in range(count))
    return [ico[offset:offset + size] for *_, size, offset in entries]


def test_setup_carries_the_programs_version_icon_and_asks_for_no_administrator():
    setup = SETUP_EXE.read_bytes()
    program = version_strings(MURLOX_EXE.read_bytes())
    own = version_strings(setup)
    for name in ("CompanyName", "ProductName", "ProductVersion", "FileVersion"):
        assert own[name] == program[name], name
    assert own["ProductVersion"] == VERSION
    images = icon_images((TOP / "resources" / "murlox.ico").read_bytes())
    assert len(images) == 3
    assert all(image in setup for image in images), "the program's icon in every size"
    assert re.search(rb'requestedExecutionLevel\s+level="asInvoker"', setup)


def test_silent_install_puts_program_shortcut_and_entry_in_place_for_this_user(
        installation, service):
    wine = installation.wine
    install(wine, service)

    assert installation.program.read_bytes() == MURLOX_EXE.read_bytes()
    assert installation.uninstaller.is_file()
    shortcut = installation.shortcut.read_bytes()
    assert installation.program_name.encode() in shortcut, "the shortcut starts the program"

    entry = installation.entry()
    uninstaller = installation.folder_name + r"\uninstall.exe"
    assert entry["DisplayName"] == ("REG_SZ", "MURLOX")
    assert entry["DisplayVersion"] == ("REG_SZ", VERSION)
    assert entry["Publisher"] == ("REG_SZ", "MURLOX")
    assert entry["DisplayIcon"] == ("REG_SZ", installation.program_name)
    assert entry["UninstallString"] == ("REG_SZ", f'"{uninstaller}"')
    assert entry["QuietUninstallString"] == ("REG_SZ", f'"{uninstaller}" /S')
    assert entry["NoModify"] == ("REG_DWORD", "0x1")
    assert entry["NoRepair"] == ("REG_DWORD", "0x1")
    files_kib = sum(p.stat().st_size for p in installation.folder.iterdir()) / 1024
    assert entry["EstimatedSize"][0] == "REG_DWORD"
    assert abs(int(entry["EstimatedSize"][1], 16) - files_kib) <= 8

    # Nothing for all users: no machine-wide entry, and no client started by a silent first install.
    assert wine.reg("query", MACHINE_UNINSTALL_KEY).returncode != 0
    assert running_client_pids(wine) == []


def test_silent_install_over_a_running_client_ends_it_replaces_it_and_starts_the_new_one(
        installation, service, start_client):
    wine = installation.wine
    install(wine, service)
    # The copy in place now stands for an older build.
    installation.program.write_bytes(MURLOX_EXE.read_bytes() + b"older build")
    old = start_client(service.address, program=installation.program_name)
    assert old.started()
    [old_pid] = running_client_pids(wine)

    install(wine, service)

    assert old.process.wait(timeout=10) == 0, "the old client ended by itself"
    assert installation.program.read_bytes() == MURLOX_EXE.read_bytes()
    assert wine.wait("--class", "TfrmPopop")
    [new_pid] = running_client_pids(wine)
    assert new_pid != old_pid


@pytest.mark.parametrize("program, own", [
    ("{program}", True),
    (r"C:\Elsewhere\murlox.exe", False),
], ids=["own client running with its autostart", "another copy running with its autostart"])
def test_silent_uninstall_removes_the_program_and_keeps_the_settings(
        installation, service, start_client, program, own):
    wine = installation.wine
    install(wine, service)
    program = program.format(program=installation.program_name)
    if not own:
        wine.unix_path(program).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(MURLOX_EXE, wine.unix_path(program))
    client = start_client(service.address, {RUN_KEY: {"MURLOX": program + " -boot"},
                                             SETTINGS_KEY: {"nickname": "demo@murlox.test"}},
                          program=program)
    assert client.started()
    [client_pid] = running_client_pids(wine)

    # The uninstaller runs on from a copy of itself, so its own file can go: wait for its work.
    uninstaller = installation.folder_name + r"\uninstall.exe"
    assert wine.run(uninstaller, "/S").returncode == 0
    assert wait_for(lambda: installation.entry() is None, interval=PROGRAM_INTERVAL)
    if own:
        assert client.process.wait(timeout=10) == 0
        assert running_client_pids(wine) == []
    else:
        assert running_client_pids(wine) == [client_pid], "another installation's client runs on"
        assert client.exit() == 0
        shutil.rmtree(wine.unix_path(program).parent)
    assert not installation.folder.exists()
    assert not installation.shortcut.exists()
    run = wine.reg("query", RUN_KEY, "/v", "MURLOX")
    assert (run.returncode != 0) == own
    assert "nickname    REG_SZ    demo@murlox.test" in stored(wine)
