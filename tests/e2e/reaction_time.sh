#!/usr/bin/env bash
# Reaction times on the real sound path: the program under the virtual display
# plays "q" to the null sink, the key is pressed a known time after the end of
# its last tone in the recording, and the reaction time the program saves in
# its progress log must match that time within 20 ms (see reaction_time.py for
# how the recording's clock and the key press are aligned).
# Usage: reaction_time.sh KALVO TONE_RUNS ARTIFACTS BUILD [PRESSES [OUTPUT]]
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
PRESSES=${5:-3}
OUTPUT=${6:-$ARTIFACTS/reaction-time-e2e.txt}
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
# "Save Lesson to Progress Log" in the "Advanced" menu, counted from 0.
SAVE_ITEM=13

start_app
# The null sink renders as far ahead as the recording's latency: 2 ms keeps the
# monitor within that of the sink's clock, which the program's output time follows.
REC_LATENCY_MS=2 start_recording
python3 "$(dirname "$0")/reaction_time.py" "$WID" "$MENU" "$REC" "$WORK" "$PRESSES" "$OUTPUT" "$SAVE_ITEM" || exit 1
stop_recording
cat "$OUTPUT"
awk '$1 ~ /^[0-9]+$/ { e = $4 < 0 ? -$4 : $4; if (e > 20) { print "FAIL: press " $1 " is off by " $4 " ms"; bad = 1 } }
     END { exit bad }' "$OUTPUT" || exit 1
echo "PASS"
