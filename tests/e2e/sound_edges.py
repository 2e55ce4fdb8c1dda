#!/usr/bin/env python3
"""Compares the key-down edges in a decoded sound file with the timing model.

usage: sound_edges.py FILE.wav WPM TEXT

The sender keys each tone with a linear rise of 5 ms (40 samples at 8000 per
second) and appends a fall of the same slope after the tone's nominal end; it
plays 3 dots of silence first, one dot after every element, 2 dots more after
every character and 4 more for a space. An edge is where the tone's envelope
crosses half its full height: 20 samples after the tone starts, and 18 samples
after its nominal end on the way down. The envelope is the rectified signal
averaged over a centred window of one tone period, which moves neither edge.

Prints "edges N offset_ms MS max_error_ms MS": the file's constant delay
(an encoder's and decoder's priming), and the largest difference of an edge
from the model once that delay is taken off. Exits 1 when the numbers of
tones differ.
"""
import sys
import wave
from array import array

PATTERNS = {
    'A': '13', 'B': '3111', 'C': '3131', 'D': '311', 'E': '1', 'F': '1131', 'G': '331', 'H': '1111',
    'I': '11', 'J': '1333', 'K': '313', 'L': '1311', 'M': '33', 'N': '31', 'O': '333', 'P': '1331',
    'Q': '3313', 'R': '131', 'S': '111', 'T': '3', 'U': '113', 'V': '1113', 'W': '133', 'X': '3113',
    'Y': '3133', 'Z': '3311', '0': '33333', '1': '13333', '2': '11333', '3': '11133', '4': '11113',
    '5': '11111', '6': '31111', '7': '33111', '8': '33311', '9': '33331',
}
RATE = 8000
RISE = 40  # samples of the 5 ms ramp


def model_edges(wpm, text):
    """Rising and falling half-height edges, in seconds, as the sender keys them."""
    dot = round(RATE * 1.2 / wpm)
    t = 3 * dot
    edges = []
    for c in text.upper():
        if c == ' ':
            t += 4 * dot
        else:
            for d in PATTERNS[c]:
                n = int(d) * dot
                edges.append(((t + RISE // 2) / RATE, (t + n + RISE // 2 - 2) / RATE))
                t += n + RISE - 1  # the fall ramp, its last sample silent
                t += dot
        t += 2 * dot
    return edges


def measured_edges(path):
    with wave.open(path) as w:
        rate, channels = w.getframerate(), w.getnchannels()
        samples = array('h', w.readframes(w.getnframes()))[::channels]
    period = max(1, round(rate / 800))
    half = period // 2
    rect = [abs(s) for s in samples]
    # A centred moving average: the prefix sums give each window at once.
    prefix = [0]
    for v in rect:
        prefix.append(prefix[-1] + v)
    env = [(prefix[min(len(rect), i + half + 1)] - prefix[max(0, i - half)]) / period for i in range(len(rect))]
    level = sorted(env)[int(len(env) * 0.98)] / 2  # half the steady height
    edges = []
    start = None
    for i in range(1, len(env)):
        a, b = env[i - 1], env[i]
        if (a < level) != (b < level):
            x = (i - 1 + (level - a) / (b - a)) / rate  # between the two samples
            if b >= level:
                start = x
            elif start is not None:
                # Dips inside a tone (a lossy coder's ripple) are not edges.
                edges.append((start, x))
                start = None
    merged = []
    for s, e in edges:
        if merged and s - merged[-1][1] < 0.012:
            merged[-1] = (merged[-1][0], e)
        else:
            merged.append((s, e))
    return [(s, e) for s, e in merged if e - s > 0.012]


def main():
    path, wpm, text = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    model = model_edges(wpm, text)
    got = measured_edges(path)
    if len(got) != len(model):
        print(f"tones {len(got)} expected {len(model)}")
        return 1
    diffs = [g - m for gm, mm in zip(got, model) for g, m in zip(gm, mm)]
    offset = sorted(diffs)[len(diffs) // 2]
    worst = max(abs(d - offset) for d in diffs)
    print(f"edges {len(diffs)} offset_ms {offset * 1000:.3f} max_error_ms {worst * 1000:.3f}")
    return 0


if __name__ == '__main__':
    sys.exit(main())
