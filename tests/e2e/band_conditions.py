# A lesson heard through band noise, from the null sink's recording: "Start
# Kalvo", "Start Sending", the question "q" (four tones) is found at the
# tone's pitch through the noise, "q" is typed and the next question must
# begin within 5 s (a right answer moves on at once; a miss waits eight
# seconds), then "Stop Kalvo". The signal-to-noise ratio is measured from the
# recording: the tone's power (key down less the noise) over the noise
# density at the tone (Welch's method on the gaps between questions) times
# 2500 Hz; it must lie within 1 dB of the setting.
#
# Usage: band_conditions.py WID MENU REC SNR_DB
import math
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import recording  # noqa: E402
from recording import RATE, goertzel, wait_for  # noqa: E402

WID, MENU, REC, SNR = sys.argv[1], int(sys.argv[2]), sys.argv[3], float(sys.argv[4])
TONE = 800.0
BLOCK = 80  # 10 ms


def tones(s):
    """Tones as (first, last + 1) blocks of 10 ms whose amplitude at the
    tone's pitch passes 5000, well above the noise in a block (some 1000)."""
    found = []
    for b in range(len(s) // BLOCK):
        amplitude = 2 * math.sqrt(goertzel(s[b * BLOCK : (b + 1) * BLOCK], TONE)) / BLOCK
        if amplitude > 5000:
            if found and found[-1][1] >= b - 1:
                found[-1][1] = b + 1
            else:
                found.append([b, b + 1])
    return found


mark = recording.length(REC)
recording.click(WID, MENU, 61, 268)  # "Start Kalvo"
recording.click(WID, MENU, 61, 292)  # "Start Sending"


def heard(n, after=0.3):
    def test():
        s = recording.samples(REC, mark)
        t = tones(s)
        return len(t) >= n and len(s) - t[n - 1][1] * BLOCK > after * RATE and t
    return test


first = wait_for("the four tones of q through the noise", 20, heard(4))
subprocess.run(["xdotool", "type", "q"], check=True)
typed = recording.length(REC) - mark
after = wait_for("the next question's four tones", 20, heard(8))
recording.click(WID, MENU, 61, 324)  # "Stop Kalvo"
time.sleep(1.0)
s = recording.samples(REC, mark)
t = tones(s)
gap = t[4][0] * BLOCK - typed
print(f"the next question began {gap / RATE:.2f} s after the answer")
if gap > 5 * RATE:
    raise SystemExit("FAIL: the answer was not judged right")

# Key down: each tone less 20 ms at either end. Gaps: 50 ms clear of any tone,
# between the first tone and the last, where the band surely sounds.
key, quiet = [], []
for a, b in t[:8]:
    key.extend(s[a * BLOCK + 160 : b * BLOCK - 160])
edges = [(a * BLOCK - 400, b * BLOCK + 400) for a, b in t[:8]]
spans = [(edges[i][1], edges[i + 1][0]) for i in range(7) if edges[i + 1][0] - edges[i][1] >= 512]
key_power = sum(v * v for v in key) / len(key)
gap_samples = [v for a, b in spans for v in s[a:b]]
gap_power = sum(v * v for v in gap_samples) / len(gap_samples)
SEG = 256
window = [0.5 - 0.5 * math.cos(2 * math.pi * n / SEG) for n in range(SEG)]
window_power = sum(w * w for w in window)
densities = []
for hz in range(700, 901, 10):
    total, count = 0.0, 0
    for a, b in spans:
        for start in range(a, b - SEG + 1, SEG // 2):
            total += goertzel([v * w for v, w in zip(s[start : start + SEG], window)], hz)
            count += 1
    densities.append(2 * total / count / (RATE * window_power))
density = sum(densities) / len(densities)
measured = 10 * math.log10((key_power - gap_power) / (density * 2500))
print(f"key down {len(key) / RATE:.2f} s, gaps {len(gap_samples) / RATE:.2f} s in {len(spans)} spans")
print(f"signal-to-noise ratio set {SNR:+.1f} dB, measured {measured:+.2f} dB")
if abs(measured - SNR) > 1.0:
    raise SystemExit("FAIL: the signal-to-noise ratio is off by more than 1 dB")
