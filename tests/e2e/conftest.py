import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "service"))

from wine import Display, Wine, require_tools, wine_environment  # noqa: E402
from control import StandInService  # noqa: E402


@pytest.fixture(scope="session")
def wine():
    require_tools()
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
    wine.reg("delete", r"HKCU\Software\MURLOX", "/f")
    wine.reg("delete", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run", "/v", "MURLOX", "/f")
    return wine
