#!/usr/bin/env bash
# The real program and the real sound path when sending is interrupted:
#  - "Pause" in the middle of a word and "Unpause" two seconds later: every tone
#    keeps its length, the pause's silence begins after a whole element;
#  - the sound server stopped in the middle of a send: within a few seconds an
#    error box says so and the window answers; with the server started again
#    the next send is heard.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
source "$(dirname "$0")/../../tools/services.sh"
start_app

type_value() {              # a value typed into the box at a point, then Enter
  click_at "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 30 "$3"
  xdotool key Return
  sleep 0.3
}
type_value 600 186 20       # Farnsworth (character) speed
type_value 600 122 20       # overall speed
click_at 100 120
xdotool type --delay 20 "PARIS PARIS PARIS PARIS PARIS PARIS"

start_recording
click_at 360 20             # "Send Text"
sleep 4.4
click_at 428 20             # "Pause"
sleep 2
click_at 428 20             # "Unpause"
await_tones 84 60
stop_recording
runs=$("$TONE_RUNS" "$REC")
count=$(echo "$runs" | grep -c .)
echo "tones after Pause/Unpause: $count"
# PARIS has 14 elements; at 20 words per minute a dot sounds 0.065 s (with its
# fall), a dash 0.185 s. A tone cut by the pause would be shorter or split.
[ "$count" -eq 84 ] || { echo "FAIL: $count tones, expected 84"; echo "$runs"; exit 1; }
echo "$runs" | awk '{ ok = ($2 > 0.045 && $2 < 0.085) || ($2 > 0.16 && $2 < 0.21);
                      if (!ok) { print "FAIL: tone " NR " lasts " $2 " s"; bad = 1 } }
                    NR > 1 { gap = $1 - end; if (gap > longest) longest = gap; if (gap > 0.6) long++ }
                    { end = $1 + $2 }
                    END { printf "longest silence between tones: %.2f s\n", longest;
                          # The text'"'"'s longest gap is a word gap, 0.42 s; the pause
                          # silence is the two seconds less what was already queued.
                          if (long != 1) { print "FAIL: " long " silences longer than a word gap"; bad = 1 }
                          exit bad }' || exit 1

# The sound server goes away in the middle of the next send.
click_at 360 20             # "Send Text" (the box holds the sent text again)
sleep 2
stopped=$(date +%s.%N)
services_pulse_stop
box=
for _ in $(seq 100); do
  # The error box is the window titled with the program's name alone.
  for w in $(xdotool search --onlyvisible --pid "$APP_PID" "" 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Kalvo" ] && box=$w
  done
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { echo "FAIL: no error box within 10 s of the sound server stopping"; exit 1; }
shown=$(date +%s.%N)
import -window "$box" "$ARTIFACTS/kalvo-sound-error.png"
clear_clipboard
xdotool mousemove --window "$box" 100 20 click 1
xdotool key ctrl+a ctrl+c   # the message can be selected and copied
message=$(await_clipboard)
echo "error box after $(awk "BEGIN { printf \"%.1f\", $shown - $stopped }") s: $message"
echo "$message" | grep -q "The sound device stopped playing" || { echo "FAIL: unexpected message"; exit 1; }
xdotool key Return
# The window answers: the send has ended and the text box takes typing.
text=$(read_box 100 120)
case "$text" in PA*) ;; *) false ;; esac || { echo "FAIL: the window did not answer after the box ('$text')"; exit 1; }

services_pulse_start
start_recording
click_at 360 20             # "Send Text" once more
await_tones 14 30
stop_recording
again=$("$TONE_RUNS" "$REC" | grep -c .)
echo "tones after the sound server came back: $again"
[ "$again" -ge 14 ] || { echo "FAIL: the send after the restart was not heard"; exit 1; }
echo "PASS"
