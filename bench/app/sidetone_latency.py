# The sidetone's latency on the real sound path: from a key pressed with
# xdotool at a known moment to the tone's first sample in the null sink's
# recording, on one clock (see tests/e2e/recording.py). The keying area of
# "Sending Practice" has the focus; the straight key (Space) is pressed for
# 60 ms, N times, a quarter second apart, every tenth press after 3 s of
# silence. The first press after the window opened is the cold start.
#
# Usage: sidetone_latency.py REC N OUT
# Writes one line per press to OUT ("<n> <kind> <latency ms> <tone ms>"),
# then the median, 95th percentile and worst of all presses and of each kind,
# and the shortest tone heard (a tone cut short would show there).
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tests/e2e"))
from recording import RATE, RecordingClock, length, runs, samples, wait_for  # noqa: E402

REC, N, OUT = sys.argv[1], int(sys.argv[2]), sys.argv[3]

xdotool = subprocess.Popen(["xdotool", "-"], stdin=subprocess.PIPE)


def send(command):
    xdotool.stdin.write((command + "\n").encode())
    xdotool.stdin.flush()


def at(moment):
    while time.monotonic() < moment - 0.002:
        time.sleep(0.001)
    while time.monotonic() < moment:
        pass


clock = RecordingClock(REC)
clock.start()
wait_for("the recording's clock", 10, lambda: clock.looks and length(REC) > RATE)
results = []
for k in range(N):
    kind = "cold" if k == 0 else "after-silence" if k % 10 == 0 else "warm"
    time.sleep(3.0 if kind == "after-silence" else 0.25)
    mark = length(REC)
    pressed = time.monotonic()
    send("keydown space")
    at(pressed + 0.06)
    send("keyup space")

    def heard():
        r = runs(samples(REC, mark))
        return r and length(REC) - mark - r[0][1] > 0.05 * RATE and r[0]
    onset, end = wait_for(f"the tone of press {k + 1}", 5, heard)
    latency = 1000 * (clock.t0 + (mark + onset) / RATE - pressed)
    # The tone as long as the key was held (60 ms) and its fall: none cut short.
    tone = 1000 * (end - onset) / RATE
    results.append((kind, latency, tone))
    print(f"press {k + 1} ({kind}): {latency:.1f} ms, tone {tone:.1f} ms", flush=True)

clock.going = False
xdotool.stdin.close()
xdotool.wait()


def figures(values):
    ordered = sorted(values)
    p95 = ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]
    return f"median {statistics.median(ordered):.1f} ms, p95 {p95:.1f} ms, worst {max(ordered):.1f} ms, n {len(ordered)}"


with open(OUT, "w") as f:
    for k, (kind, latency, tone) in enumerate(results):
        f.write(f"{k + 1} {kind} {latency:.1f} {tone:.1f}\n")
    f.write(f"all: {figures([l for _, l, _ in results])}\n")
    for kind in ("cold", "after-silence", "warm"):
        f.write(f"{kind}: {figures([l for c, l, _ in results if c == kind])}\n")
    f.write(f"shortest tone: {min(t for _, _, t in results):.1f} ms (key held 60 ms)\n")
with open(OUT) as f:
    print("".join(f.readlines()[-5:]), end="")
