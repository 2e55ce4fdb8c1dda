# Reaction times as the program reports them against the truth on the real
# sound path. For each of N one-question lessons: "Start Kalvo", "Start
# Sending", wait until the recording of the null sink's monitor holds the
# whole "q" (four tones), press "q" a chosen time after the end of its last
# tone, "Stop Kalvo", "Save Lesson to Progress Log", and read the reaction
# time from the log's new line (the median of one hit is that hit).
#
# The clocks are aligned as recording.py says. The key press is taken on
# the same clock just before xdotool (already running, reading commands from
# its standard input) is told to press it.
#
# Usage: reaction_time.py WID MENU REC WORK N OUT SAVE_ITEM
# Writes one line per press to OUT ("<n> <truth s> <reported s> <error ms>"),
# then "median_abs_error_ms", "worst_abs_error_ms" and "n".
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from recording import RATE, RecordingClock, runs, wait_for  # noqa: E402
import recording  # noqa: E402

WID, MENU, REC, WORK = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
N, OUT, SAVE_ITEM = int(sys.argv[5]), sys.argv[6], int(sys.argv[7])
LOG = os.path.join(WORK, "Kalvoprogress.txt")


def samples(first=0):
    return recording.samples(REC, first)


def length():
    return recording.length(REC)


xdotool = subprocess.Popen(["xdotool", "-"], stdin=subprocess.PIPE)


def send(command):
    xdotool.stdin.write((command + "\n").encode())
    xdotool.stdin.flush()


def click(x, y):
    send(f"mousemove --window {WID} {x} {y + MENU} click 1")
    time.sleep(0.3)


def log_lines():
    try:
        with open(LOG, "rb") as f:
            return [line for line in f.read().split(b"\r\n") if line]
    except OSError:
        return []


# xdotool's first key costs it a lookup of the keyboard map; a key that types
# nothing takes that cost before anything is measured.
send("key shift")
clock = RecordingClock(REC)
clock.start()
results = []
for k in range(N):
    # The sound of the last lesson has died away: 2 s of silence.
    def quiet():
        n = length()
        return n > 2 * RATE and max(map(abs, samples(n - 2 * RATE))) < 1500
    wait_for("silence before a lesson", 20, quiet)
    mark = length()
    click(61, 268)  # "Start Kalvo"
    click(61, 292)  # "Start Sending"

    def heard():
        s = samples(mark)
        r = runs(s)
        return len(r) >= 4 and len(s) - r[3][1] > 0.1 * RATE and mark + r[3][1]
    end = wait_for("the four tones of q", 20, heard)
    tone_end = clock.t0 + end / RATE
    wanted = 0.45 + 0.05 * (k % 10)
    while time.monotonic() < tone_end + wanted - 0.002:
        time.sleep(0.001)
    while time.monotonic() < tone_end + wanted:
        pass
    pressed = time.monotonic()
    send("key q")
    time.sleep(0.3)
    click(61, 324)  # "Stop Kalvo"
    lines = len(log_lines())
    send("key --delay 50 alt+a " + "Down " * SAVE_ITEM + "Return")
    wait_for("a new line in the progress log", 10, lambda: len(log_lines()) > lines)
    entry = log_lines()[-1].decode("latin-1").split(";")
    q = [e for e in entry[6:] if e.startswith("q:")]
    if not q or q[0].split(":")[4] == "-":
        sys.exit(f"FAIL: no reaction time in {entry}")
    reported = float(q[0].split(":")[4])
    truth = pressed - tone_end
    results.append((truth, reported))
    print(f"press {k + 1}: truth {truth:.4f} s, reported {reported:.3f} s, error {1000 * (reported - truth):+.1f} ms",
          flush=True)

clock.going = False
xdotool.stdin.close()
xdotool.wait()
errors = [abs(1000 * (r - t)) for t, r in results]
with open(OUT, "w") as f:
    for k, (t, r) in enumerate(results):
        f.write(f"{k + 1} {t:.4f} {r:.3f} {1000 * (r - t):+.1f}\n")
    f.write(f"median_abs_error_ms {statistics.median(errors):.1f}\n")
    f.write(f"worst_abs_error_ms {max(errors):.1f}\n")
    f.write(f"n {len(errors)}\n")
print(f"median |error| {statistics.median(errors):.1f} ms, worst {max(errors):.1f} ms, n {len(errors)}")
