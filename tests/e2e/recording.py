# The null sink's recording (16-bit mono WAV at 8000 samples a second) as the
# end-to-end tests and the benchmarks read it: its clock against the monotonic
# one, its samples, and the tones in them.
#
# Aligning the clocks: the recording's sample k is captured by the sound
# server at t0 + k / 8000 on the monotonic clock. A thread watches the
# recording grow: whenever the file holds n samples at moment t, they were
# captured by then, so t0 <= t - n / 8000; the smallest such bound over the
# looks of the last seconds, every half millisecond, is t0 to within the
# server's hand-over time (a look lands right after a block was written). The
# recording's latency is 2 ms, as the null sink renders that far ahead of its
# clock, and the monitor hears a sound that much early.
import array
import math
import collections
import os
import subprocess
import threading
import time

RATE = 8000
HEADER = 44


class RecordingClock(threading.Thread):
    """t0 from the looks of the last WINDOW seconds, so that it follows a
    sound server whose clock runs a little apart from the monotonic one."""

    WINDOW = 4.0

    def __init__(self, rec):
        super().__init__(daemon=True)
        self.rec = rec
        self.looks = collections.deque()
        self.lock = threading.Lock()
        self.going = True

    @property
    def t0(self):
        with self.lock:
            return min(bound for _, bound in self.looks)

    def run(self):
        while self.going:
            t = time.monotonic()
            try:
                n = (os.stat(self.rec).st_size - HEADER) // 2
            except OSError:
                n = 0
            if n > 0:
                with self.lock:
                    self.looks.append((t, t - n / RATE))
                    while self.looks[0][0] < t - self.WINDOW:
                        self.looks.popleft()
            time.sleep(0.0005)


def samples(rec, first=0):
    """The recording from sample `first` on."""
    with open(rec, "rb") as f:
        f.seek(HEADER + 2 * first)
        body = f.read()
    s = array.array("h")
    s.frombytes(body[: len(body) // 2 * 2])
    return s


def length(rec):
    return max(0, (os.stat(rec).st_size - HEADER) // 2)


def runs(s, threshold=1500, bridge=40):
    """Tones as (start, end) sample indices, end exclusive, quiet spells of up
    to 5 ms bridged; each end is moved on to where the fall ramp reaches the
    noise floor."""
    found = []
    start = last = None
    for i, v in enumerate(s):
        if abs(v) >= threshold:
            if start is None:
                start = i
            elif i - last > bridge:
                found.append((start, last + 1))
                start = i
            last = i
    if start is not None:
        found.append((start, last + 1))
    exact = []
    for a, b in found:
        while b < len(s) and any(abs(v) >= 100 for v in s[b : b + bridge]):
            b += 1
        exact.append((a, b))
    return exact


def wait_for(what, seconds, test):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = test()
        if result:
            return result
        time.sleep(0.02)
    raise SystemExit(f"FAIL: {what} within {seconds} s")


def click(wid, menu, x, y):
    """Clicks at a point of the main window's client area (as the layout
    gives places), below the menu bar of `menu` pixels."""
    subprocess.run(["xdotool", "mousemove", "--window", wid, str(x), str(y + menu), "click", "1"], check=True)
    time.sleep(0.3)


def goertzel(x, hz):
    """|X(hz)|^2 of the samples."""
    c = 2 * math.cos(2 * math.pi * hz / RATE)
    s1 = s2 = 0.0
    for v in x:
        s1, s2 = v + c * s1 - s2, s1
    return s1 * s1 + s2 * s2 - c * s1 * s2
