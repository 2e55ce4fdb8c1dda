#!/usr/bin/env bash
# "Call and Word Drills..." opened from the keyboard in the real program, a
# run of callsigns at 20 wpm answered by ear (see call_drills.py): the items
# recorded from the null sink decode to calls at the speeds the run reports.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
for tool in python3 sox multimon-ng; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
start_app
start_recording
drills() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Call and Word Drills$' 2>/dev/null | head -n1; }
xdotool key --delay 50 alt+a Up Return   # up from the first item: the last of "Advanced"
wait_until 10 "the drills' window appeared" test -n "$(drills)"
DRILLS=$(drills)
xdotool windowfocus --sync "$DRILLS"
python3 "$(dirname "$0")/call_drills.py" "$DRILLS" "$REC" 20 4 || exit 1
import -window "$DRILLS" "$ARTIFACTS/kalvo-call-drills.png"
stop_recording
echo "PASS"
