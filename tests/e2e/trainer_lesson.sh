#!/usr/bin/env bash
# The real program under the virtual display runs a short lesson: "Start Kalvo",
# "Start Sending", the first character plays and times out, the next one is
# answered at the keyboard, "Stop Kalvo" prints the rating into the text box.
# The sound server must have received the character "q" (--.-) each time.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
start_app
start_recording

click_at 61 268             # "Start Kalvo"
unfolded() { [ "$(menu_height)" -eq $((MENU + 100)) ]; }   # the histogram panel: 100 pixels more
wait_until 10 "the window unfolded to $((471 + MENU)) pixels after Start Kalvo" unfolded
click_at 61 292             # "Start Sending"
# The first "q" plays, then eight seconds pass without an answer; the answer
# is shown and "q" is asked again, and once it has sounded it is typed.
await_tones 8 40
xdotool type --delay 100 "q"
import -window "$WID" "$ARTIFACTS/kalvo-lesson.png"
click_at 61 324             # "Stop Kalvo"
stop_recording

text=$(read_box 100 120)
echo "text box after the stop:"
echo "$text"
echo "$text" | grep -q '^Your current mastery rating is [0-9]* $' || { echo "FAIL: no rating line"; exit 1; }
echo "$text" | grep -q '^When this is 100, you will have mastered all of the characters\.$' || { echo "FAIL: no second line"; exit 1; }

runs=$("$TONE_RUNS" "$REC")
echo "tones (start s, length s, Hz):"
echo "$runs"
count=$(echo "$runs" | grep -c .)
[ "$count" -ge 8 ] || { echo "FAIL: $count tones, expected at least two q (8 tones)"; exit 1; }
# q: dash dash dot dash.
echo "$runs" | head -n 8 | awk '{ dash = ($2 > 0.18); want = (NR % 4 == 3) ? 0 : 1;
                                  if (dash != want) { print "FAIL: element " NR " length " $2; exit 1 } }' || exit 1
echo "PASS"
