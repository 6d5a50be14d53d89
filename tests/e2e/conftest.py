import contextlib
import shutil
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "service"))

from client import APP_WINDOW, FIRST_RUN, NO_WALLPAPER, Client, demo_account, wallpaper_applied  # noqa: E402
from control import StandInService  # noqa: E402
from wine import BUILD, MURLOX_EXE, Display, Wine, require_tools, wine_environment  # noqa: E402


@pytest.fixture(scope="session")
def wine():
    require_tools()
    MURLOX_EXE.parent.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(BUILD / "murlox.exe", MURLOX_EXE)
    env = wine_environment()
    display = Display(env)
    display.start()
    yield Wine(env)
    display.stop()


@pytest.fixture
def service():
    with StandInService() as running:
        yield running


@pytest.fixture
def clean_registry(wine):
    """A first run: no settings and no autostart entry."""
    wine.change_registry(FIRST_RUN)
    return wine


@contextlib.contextmanager
def clients(wine):
    """The one way the tests start the client: start(address, registry, program) makes a first
    run's registry with the registry changes on top, starts the program (murlox.exe of the build
    unless named) against the service at address and returns the Client. Each client still
    running at the end exits through its tray menu."""
    started = []

    def start(address, registry=None, program=MURLOX_EXE):
        wine.change_registry({**FIRST_RUN, **(registry or {})})
        started.append(Client(wine, wine.start(program, extra_env={"MURLOX_SERVICE": address})))
        return started[-1]

    try:
        yield start
    finally:
        for client in reversed(started):
            client.end()


@pytest.fixture
def start_client(wine):
    """start(address, registry=None, program=MURLOX_EXE); see clients()."""
    with clients(wine) as start:
        yield start


@pytest.fixture
def signed_in(service, start_client):
    """A client signed in with the demo account by automatic sign-in, its wallpaper applied."""
    client = start_client(service.address, {**demo_account(autologin=True), **NO_WALLPAPER})
    assert wallpaper_applied(client.wine), "the wallpaper was never applied"
    return client


@pytest.fixture(scope="module")
def first_instance(wine):
    """A client of a first run with all its windows made, shared by the tests of a module that
    leave it as they found it: they come last in their module, as it exits after the module's
    last test."""
    assert wine.winctl("list", *APP_WINDOW).returncode == 1, "a client is still running"
    with StandInService() as service, clients(wine) as start:
        client = start(service.address)
        assert client.started()
        yield client
        assert client.exit() == 0
