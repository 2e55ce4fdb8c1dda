#!/usr/bin/env bash
# A custom set chosen from the keyboard in the real program: "Advanced",
# "Learning Order", "Custom Set...". A set with "=" is refused in the dialog;
# "r k m" closes it, and the lesson asks "r" (.-.), not Kalvo's own "q" (--.-).
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
start_app
start_recording

dialog() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Custom Set$' 2>/dev/null | head -n1; }
# "Learning Order" is item 16 of "Advanced"; "Custom Set..." the sixth of its items.
keys=(alt+a)
for _ in $(seq 16); do keys+=(Down); done
xdotool key --delay 50 "${keys[@]}" Right Down Down Down Down Down Return
wait_until 10 "the custom set's dialog appeared" test -n "$(dialog)"
DIALOG=$(dialog)
xdotool windowfocus --sync "$DIALOG"
height() { xdotool getwindowgeometry "$DIALOG" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'; }
before=$(height)
xdotool type --delay 50 "m=k"
xdotool key Return
# The refusal's message appears under the box and the dialog grows to hold it.
grown() { [ "$(height)" -gt "$before" ]; }
wait_until 10 "the dialog showed why \"m=k\" was refused" grown
import -window "$DIALOG" "$ARTIFACTS/kalvo-custom-set-refused.png"
xdotool key ctrl+a
xdotool type --delay 50 "r k m"
xdotool key Return
gone() { [ -z "$(dialog)" ]; }
wait_until 10 "the dialog closed on a valid set" gone

xdotool windowfocus --sync "$WID"
click_at 61 268             # "Start Kalvo"
click_at 61 292             # "Start Sending"
await_tones 3 20
click_at 61 324             # "Stop Kalvo"
stop_recording

runs=$("$TONE_RUNS" "$REC")
echo "tones (start s, length s, Hz):"
echo "$runs"
# r: dot dash dot, then the character's end.
echo "$runs" | head -n 3 | awk '{ dash = ($2 > 0.18); want = (NR == 2);
                                  if (dash != want) { print "FAIL: element " NR " length " $2; exit 1 } }' || exit 1
echo "$runs" | awk 'NR == 3 { end = $1 + $2 } NR == 4 { if ($1 - end < 0.25) { print "FAIL: a fourth element follows at " $1; exit 1 } }' || exit 1
echo "PASS"
