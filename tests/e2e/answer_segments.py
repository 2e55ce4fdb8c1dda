# The segments of a practice file with spoken answers, from its PCM (16-bit
# mono WAV): sounds parted by at least 0.4 s of silence. Each item gives
# three, its Morse, the voice and the Morse again. Checks the pauses between
# them (PAUSES, seconds, within 50 ms: the lossy codec smears the edges), the
# repeat's level against the first Morse (REPEAT_DB, within 0.5 dB), and that
# the middle segment is speech, not a tone: at most a third of its power lies
# within 50 Hz of the tone. Prints "morse START SECONDS" for each Morse
# segment (for the decoder) and the figures.
#
# Usage: answer_segments.py PCM ITEMS A,B,C REPEAT_DB
import array
import math
import sys

pcm, items, pauses, repeat_db = sys.argv[1], int(sys.argv[2]), sys.argv[3], float(sys.argv[4])
pauses = [float(p) for p in pauses.split(",")]
with open(pcm, "rb") as f:
    data = f.read()
at = data.find(b"data") + 8
s = array.array("h")
s.frombytes(data[at : at + (len(data) - at) // 2 * 2])
RATE = 8000
loud = [i for i, v in enumerate(s) if abs(v) > 200]
segments = []
for i in loud:
    if segments and i - segments[-1][1] < 0.4 * RATE:
        segments[-1][1] = i
    else:
        segments.append([i, i])
if len(segments) != 3 * items:
    sys.exit(f"FAIL: {len(segments)} segments, expected {3 * items}")


def power(a, b):
    return sum(v * v for v in s[a:b]) / (b - a)


def tone_share(a, b):
    # Power within 50 Hz of 800 Hz over the whole, from the DFT of the segment.
    n = b - a
    total = band = 0.0
    for k in range(1, n // 2, max(1, n // 4000)):
        hz = k * RATE / n
        re = sum(s[a + j] * math.cos(2 * math.pi * k * j / n) for j in range(0, n, 4))
        im = sum(s[a + j] * math.sin(2 * math.pi * k * j / n) for j in range(0, n, 4))
        p = re * re + im * im
        total += p
        band += p if abs(hz - 800) < 50 else 0.0
    return band / total


status = 0
expected = [pauses[0], pauses[1], pauses[2]]
for k in range(items):
    first, voice, again = segments[3 * k : 3 * k + 3]
    gaps = [(voice[0] - first[1]) / RATE, (again[0] - voice[1]) / RATE]
    if k + 1 < items:
        gaps.append((segments[3 * k + 3][0] - again[1]) / RATE)
    level = 10 * math.log10(power(*again) / power(*first))
    share = tone_share(*voice)
    print(f"item {k + 1}: pauses {' '.join(f'{g:.3f}' for g in gaps)} s, repeat {level:+.2f} dB, "
          f"voice {(voice[1] - voice[0]) / RATE:.2f} s with {share:.0%} of its power at the tone")
    for gap, want in zip(gaps, expected):
        if abs(gap - want) > 0.05:
            print(f"FAIL: item {k + 1}: a pause of {gap:.3f} s, expected {want} s")
            status = 1
    if abs(level - repeat_db) > 0.5:
        print(f"FAIL: item {k + 1}: the repeat at {level:+.2f} dB, expected {repeat_db:+.1f} dB")
        status = 1
    if share > 1 / 3:
        print(f"FAIL: item {k + 1}: the middle segment sounds like the tone")
        status = 1
    for a, b in (first, again):
        print(f"morse {a / RATE:.3f} {(b - a) / RATE + 0.05:.3f}")
sys.exit(status)
