# A call drill on the real sound path, answered by ear: after "Start" each
# item is found in the null sink's recording (sound, then a second of quiet
# while the window waits), its speed measured from the starts of its
# elements, and multimon-ng's Morse decoder reads it; the decoded call is
# typed as the answer. It must be a call of the world's patterns, and each
# item must come at the speed the rule gives: the start speed, then one wpm
# more after every right answer (so every decoded answer was judged right).
#
# Usage: call_drills.py WINDOW REC START_WPM ITEMS
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import recording  # noqa: E402
from recording import RATE, runs, wait_for  # noqa: E402

WINDOW, REC, WPM, ITEMS = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
CALL = re.compile(r"^([A-Z0-9]{1,4}/)?[A-Z0-9]{1,3}[0-9][A-Z]{1,3}(/P)?$")
FALL = 0.005  # each tone's fall, after its nominal end


def key(*keys):
    subprocess.run(["xdotool", "key", "--window", WINDOW, *keys], check=True)


def item_after(mark):
    """The next item's sound once a second of quiet follows it."""
    def done():
        s = recording.samples(REC, mark)
        r = runs(s)
        return r and len(s) - r[-1][1] > RATE and r
    return wait_for("an item and a second of quiet after it", 20, done)


status = 0
key("alt+t")  # "Start"
mark = recording.length(REC)
for n in range(ITEMS):
    found = item_after(mark)
    starts = [a / RATE for a, _ in found]
    steps = [b - a for a, b in zip(starts, starts[1:])]
    # Within a character, element starts lie 2 dots (after a dot) or 4 dots
    # (after a dash) apart, plus the fall: the shortest step is one of the two
    # (a call of dashes alone has no dot's step), whichever is nearer the rule.
    dot = min(((min(steps) - FALL) / k for k in (2, 4)), key=lambda d: abs(d - 1.2 / (WPM + n)))
    measured = 1.2 / dot
    first, last = found[0][0], found[-1][1]
    pcm = os.path.join(os.path.dirname(REC), "item.raw")
    with open(pcm, "wb") as f:
        f.write(recording.samples(REC, mark + first).tobytes()[: (last - first) * 2])
    dot_ms = str(round(1200 / (WPM + n)))
    sox = subprocess.run(["sox", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "1", pcm,
                          "-t", "raw", "-r", "22050", "-", "pad", "0.5", "1"], capture_output=True, check=True)
    decoded = subprocess.run(["multimon-ng", "-q", "-c", "-a", "MORSE_CW", "-d", dot_ms, "-g", dot_ms, "-t", "raw",
                              "-"], input=sox.stdout, capture_output=True).stdout.decode().replace(" ", "")
    decoded = decoded.replace("\n", "")
    print(f"item {n + 1}: \"{decoded}\" at {measured:.1f} wpm (the rule gives {WPM + n})")
    if abs(measured - (WPM + n)) > 0.5:
        print(f"FAIL: item {n + 1} came at {measured:.1f} wpm, not {WPM + n}")
        status = 1
    if not CALL.match(decoded):
        print(f"FAIL: item {n + 1} decodes as \"{decoded}\", no call")
        status = 1
    mark = recording.length(REC)
    subprocess.run(["xdotool", "type", "--window", WINDOW, decoded.lower()], check=True)
    key("Return")
sys.exit(status)
