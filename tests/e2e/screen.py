"""Screenshots of the Wine desktop and the pixels of image files, for the end-to-end tests."""
import re
import subprocess

from waiting import PROGRAM_INTERVAL, wait_for
from wine import TOP, rect

ARTIFACTS = TOP / "build" / "e2e"
SCREEN = (1024, 768)


class Picture:
    """The RGB pixels of an image file, read once with ImageMagick."""

    def __init__(self, path):
        self.path = path
        out = subprocess.run(["convert", str(path), "-depth", "8", "ppm:-"], capture_output=True,
                             check=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", out)
        self.width = int(header[1])
        self.data = out[header.end():]

    def pixel(self, x, y):
        start = 3 * (y * self.width + x)
        return tuple(self.data[start:start + 3])

    def pixels(self, left, top, width, height):
        """Every pixel of a rectangle, row by row."""
        return [self.pixel(x, y) for y in range(top, top + height)
                for x in range(left, left + width)]


def capture(wine, name):
    """The whole screen, kept as build/e2e/NAME; the file's path."""
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    target = ARTIFACTS / name
    subprocess.run(["import", "-window", "root", "-display", wine.env["DISPLAY"], str(target)],
                   check=True)
    return target


def screenshot(wine, name):
    return Picture(capture(wine, name))


def screenshot_showing(wine, name, shows):
    """A screenshot taken once shows(shot) holds, or the last one taken if it never did: the
    desktop repaints some time after the client changed what it shows."""
    shots = []

    def taken_and_shows():
        shots.append(screenshot(wine, name))
        return shows(shots[-1])

    wait_for(taken_and_shows, interval=PROGRAM_INTERVAL)
    return shots[-1]


def window_screenshot(wine, name, window_class):
    """A screenshot of one visible window, cropped to it."""
    left, top, right, bottom = rect(wine.windows("--class", window_class, "--visible")[0])
    whole = capture(wine, name)
    subprocess.run(["convert", str(whole), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", str(whole)], check=True)
