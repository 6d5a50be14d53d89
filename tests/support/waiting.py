"""The one way the tests wait: on a condition, never for a fixed time."""
import socket
import time


# The interval of a condition that starts a program each time it is asked (a Wine process,
# ImageMagick): each start takes a tenth of a second of a processor that the program under test
# needs as well.
PROGRAM_INTERVAL = 0.2


def wait_for(condition, timeout=30, interval=0.05):
    """Asks condition() every interval seconds until it gives a true value, and returns that
    value; after timeout seconds, returns the last, false, one. The timeout only keeps a broken
    test from hanging, so it is generous: a condition that holds ends the wait at once."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(min(interval, max(0.0, deadline - time.monotonic())))


def accepts_connections(port, host="127.0.0.1"):
    """Whether a server takes connections on the port: the sign that it has started."""
    try:
        socket.create_connection((host, port), timeout=1).close()
        return True
    except OSError:
        return False
