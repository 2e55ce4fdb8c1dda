#!/usr/bin/env bash
# Band conditions on the real sound path: "Band Conditions..." opened from the
# keyboard, its noise switched on (Alt+N; +10 dB through the 2.7 kHz filter by
# default), then a lesson recorded from the null sink: the question is heard
# through the noise, a right answer is still judged right, and the
# signal-to-noise ratio measured from the recording lies within 1 dB of +10
# (see band_conditions.py).
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
start_app
start_recording

band() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Band Conditions$' 2>/dev/null | head -n1; }
advanced_item 17            # "Band Conditions..."
wait_until 10 "the Band Conditions window appeared" test -n "$(band)"
BAND=$(band)
xdotool windowfocus --sync "$BAND"
xdotool key alt+n
sleep 0.3
import -window "$BAND" "$ARTIFACTS/kalvo-band-conditions.png"
xdotool windowfocus --sync "$WID"

python3 "$(dirname "$0")/band_conditions.py" "$WID" "$MENU" "$REC" 10 || exit 1
stop_recording
echo "PASS"
