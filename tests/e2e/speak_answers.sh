#!/usr/bin/env bash
# "Speak Answers" switched on from the keyboard in the real program, then a
# lesson recorded from the null sink: the voice says the unanswered "q" between
# the questions (see speak_answers.py).
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
command -v python3 >/dev/null || { echo "SKIP: python3 is missing"; exit 77; }
start_app
start_recording
advanced_item 18            # "Speak Answers"
python3 "$(dirname "$0")/speak_answers.py" "$WID" "$MENU" "$REC" || exit 1
stop_recording
echo "PASS"
