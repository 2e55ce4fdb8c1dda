#!/usr/bin/env bash
# The real program under the virtual display: a word typed into the text box and
# "Send Text" clicked must come out of the sound server as Morse tones of the
# right count, lengths and pitch, and again, whole, once the program's idle
# stream has stopped. Also keeps a screenshot of the window.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
start_app

# A screenshot of the window as it opens.
import -window "$WID" "$ARTIFACTS/kalvo-window.png"
size=$(identify -format '%wx%h' "$ARTIFACTS/kalvo-window.png")
echo "screenshot: $ARTIFACTS/kalvo-window.png ($size)"
[ "${size%x*}" -eq 673 ] || { echo "FAIL: window width ${size%x*}, expected 673"; exit 1; }
[ "${size#*x}" -ge 380 ] && [ "${size#*x}" -le 420 ] || { echo "FAIL: window height ${size#*x}"; exit 1; }

start_recording
click_at 100 120            # into the text box, clear of the quick-start box
xdotool type --delay 50 "tee"
click_at 360 20             # "Send Text"
await_tones 3 30
stop_recording

runs=$("$TONE_RUNS" "$REC")
echo "tones (start s, length s, Hz):"
echo "$runs"
count=$(echo "$runs" | grep -c . )
[ "$count" -eq 3 ] || { echo "FAIL: $count tones, expected 3 (T E E)"; exit 1; }
# Dash 3 dots + fall: 0.262 s; dot + fall: 0.091 s at 14 words per minute.
echo "$runs" | awk 'NR==1 && ($2 < 0.23 || $2 > 0.29) { print "FAIL: dash length " $2; exit 1 }
                    NR>1  && ($2 < 0.07 || $2 > 0.11) { print "FAIL: dot length " $2; exit 1 }
                    ($3 < 770 || $3 > 830) { print "FAIL: frequency " $3; exit 1 }' || exit 1
# Between the two E: a dot of silence and the character gap, 1.475 s from end to start.
echo "$runs" | awk 'NR==2 { e = $1 + $2 } NR==3 { gap = $1 - e; if (gap < 1.35 || gap > 1.55) { print "FAIL: gap " gap; exit 1 } }' || exit 1

# After some seconds of silence the program's stream stops, so that the sound
# server does no work for it; the next send starts it again with its first
# element whole: the dash as long as the first time.
wait_until 20 "the program's stream stopped on the sound server" stream_stopped
start_recording
click_at 360 20
await_tones 3 30
stop_recording
again=$("$TONE_RUNS" "$REC")
echo "after the stream had stopped:"
echo "$again"
[ "$(echo "$again" | grep -c .)" -eq 3 ] || { echo "FAIL: $(echo "$again" | grep -c .) tones after the stop, expected 3"; exit 1; }
first=$(echo "$runs" | awk 'NR == 1 { print $2 }')
second=$(echo "$again" | awk 'NR == 1 { print $2 }')
awk -v a="$first" -v b="$second" 'BEGIN { exit !(b - a >= -0.005 && b - a <= 0.005) }' ||
  { echo "FAIL: the first dash lasted $second s after the stop, $first s before"; exit 1; }
echo "PASS"
