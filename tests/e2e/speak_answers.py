# "Speak Answers" in a lesson on the real sound path: "Start Kalvo", "Start
# Sending", the question "q" is left unanswered; after the eight seconds the
# recording must hold the voice (sound at least 0.2 s long with little of its
# power at the tone's pitch) after the question's four tones and before the
# next question's, which starts only once the voice has ended.
#
# Usage: speak_answers.py WID MENU REC
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import recording  # noqa: E402
from recording import RATE, goertzel, wait_for  # noqa: E402

WID, MENU, REC = sys.argv[1], int(sys.argv[2]), sys.argv[3]
BLOCK = 80  # 10 ms


def blocks(s):
    """Each 10 ms block as 'T' (the tone), 'V' (other sound) or '.' (quiet)."""
    kinds = []
    for b in range(len(s) // BLOCK):
        x = s[b * BLOCK : (b + 1) * BLOCK]
        tone = goertzel(x, 800) * 2 / BLOCK  # the tone's share of the block's energy
        total = sum(v * v for v in x)
        kinds.append("." if total < BLOCK * 300**2 else "T" if tone > total / 2 else "V")
    return "".join(kinds)


mark = recording.length(REC)
recording.click(WID, MENU, 61, 268)  # "Start Kalvo"
recording.click(WID, MENU, 61, 292)  # "Start Sending"


def voice_in(kinds):
    """The longest stretch of other sound, quiet spells of up to 0.1 s within
    it (a tone's ramps alone make only a block or two of it)."""
    stretches = list(re.finditer(r"V(?:[V.]{0,10}V)*", kinds))
    return max(stretches, key=lambda m: m.group().count("V"), default=None)


def heard():
    # q, a voice of 0.2 s or more, and the next q begun.
    k = blocks(recording.samples(REC, mark))
    v = voice_in(k)
    return v is not None and v.group().count("V") >= 20 and "TTTTT" in k[v.end() :] and k


kinds = wait_for("q, the spoken answer and the next q", 30, heard)
recording.click(WID, MENU, 61, 324)  # "Stop Kalvo"
print("10 ms blocks from the start (T tone, V voice):", kinds.strip(".").replace("." * 20, "~"))
voice = voice_in(kinds)
if voice is None or voice.group().count("V") < 20:
    sys.exit("FAIL: no spoken answer of 0.2 s or more")
tones_before = len(re.findall(r"T+", kinds[: voice.start()]))
next_tone = kinds.find("T", voice.end())
if tones_before < 4 or next_tone < 0:
    sys.exit("FAIL: the answer was not spoken between the two questions")
print(f"voice {voice.group().count('V') / 100:.2f} s after {tones_before} tones, "
      f"the next question {(next_tone - voice.end()) / 100:.2f} s after it")
