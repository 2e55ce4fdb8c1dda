#!/usr/bin/env bash
# The program with the real screen reader: Orca runs in a private D-Bus session
# with its own accessibility bus, speaking through speech-dispatcher, whose
# output module writes every spoken message as a line of $WORK/heard.txt. The
# program is worked from the keyboard alone, and after each key the test waits
# until the texts a blind learner must hear have been spoken.
set -u
source "$(dirname "$0")/common.sh"
in_private_session "$0" "$@"
e2e_init "$@"
LAUNCHER=/usr/libexec/at-spi-bus-launcher
for tool in orca speech-dispatcher; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
[ -x "$LAUNCHER" ] || { echo "SKIP: at-spi2-core is missing"; exit 77; }

HEARD=$WORK/heard.txt
: >"$HEARD"
# The system's word lists for signs, as a user hears them; one output module
# that writes instead of speaking.
mkdir -p "$WORK/speech/modules"
sed -n '/^SymbolsPreproc/p' /etc/speech-dispatcher/speechd.conf >"$WORK/speech/speechd.conf"
cat >>"$WORK/speech/speechd.conf" <<CONF
LogDir "$WORK"
AddModule "heard" "sd_generic" "heard.conf"
DefaultModule heard
DefaultLanguage "en"
CONF
cat >"$WORK/speech/modules/heard.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' '\$DATA' >> $HEARD"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "en"
CONF

ORCA_PID= SPEECH_PID= BUS_PID=
trap 'kill $ORCA_PID $SPEECH_PID $BUS_PID 2>/dev/null; wait $ORCA_PID $SPEECH_PID 2>/dev/null; cp "$HEARD" "$WORK/orca-debug.out" "$WORK/speechd.log" "$ARTIFACTS/" 2>/dev/null; e2e_cleanup' EXIT
"$LAUNCHER" --launch-immediately >"$WORK/launcher.log" 2>&1 &
BUS_PID=$!
speech-dispatcher -s -t 0 -C "$WORK/speech" -P "$WORK/speechd.pid" -c unix_socket -S "$WORK/speechd.sock" >"$WORK/speechd.log" 2>&1 &
SPEECH_PID=$!
export SPEECHD_ADDRESS=unix_socket:$WORK/speechd.sock
wait_until 10 "speech-dispatcher listening" test -S "$WORK/speechd.sock"
mkdir -p "$WORK/orca"
orca -u "$WORK/orca" --debug-file="$WORK/orca-debug.out" >"$WORK/orca.log" 2>&1 &
ORCA_PID=$!

MARK=0
# Waits until every given text has been heard since the last key.
hear() {
  local text
  for text in "$@"; do
    wait_until 10 "hearing '$text' (heard: $(tail -n +$((MARK + 1)) "$HEARD" | tr '\n' '|'))" \
      bash -c 'tail -n +$(($2 + 1)) "$1" | grep -qF -- "$3"' _ "$HEARD" "$MARK" "$text"
  done
}
key() {
  MARK=$(wc -l <"$HEARD")
  xdotool key "$1"
}

hear "Screen reader on."
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
start_app
hear "Load any File push button."

# Seconds since $1 (a time from date +%s.%N).
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }'; }

# A practice text into the box, and Tab to "Send Text"; one focus change timed
# while the program is idle.
key Tab; hear "Load practice Text push button."
key space
key Tab; hear "Show Quickscreen check box"
started=$(date +%s.%N)
key Tab; hear "Show text check box"
idle=$(since "$started")
key Tab; hear "Send Text push button."
# "Send Text" is disabled while it sends, and the focus passes on to "Pause".
start_recording
key space; hear "Pause push button." "You can stop sending with the"
# While the text is sent, the focus moving on is heard; how long after the key
# is added to the times of earlier runs (build/artifacts/screen-reader-lag.txt:
# seconds when idle, seconds while sending).
started=$(date +%s.%N)
key Tab; hear "Show text push button."
sending=$(since "$started")
echo "a focus change was heard after $idle s when idle, after $sending s while sending"
echo "$idle $sending" >>"$ARTIFACTS/screen-reader-lag.txt"
# The status line is heard when it changes.
key space; hear "The box shows only the text that was sent."
# The send ends once its character and the character gap after it are
# written (1.4 s at these speeds): two seconds of quiet after the last tone.
wait_until 15 "the send ended" quiet_for 2
stop_recording

# The boxes are read with their numbers (the next practice text is number 2).
key Tab; hear "Font push button."
key Tab; hear "Practice Text Number" "2 selected."
key Tab; hear "Text to be sent text."
key Tab; hear "Code Speed scroll bar 5."
key Tab; hear "Code Speed text." "5 selected."
key Tab; hear "Farnsworth Speed scroll bar 14."
key Tab; hear "Farnsworth Speed text." "14 selected."
key Tab; hear "Audio Frequency scroll bar 800."
key Tab; hear "Audio Frequency text." "800 selected."
key Tab; hear "Start Kalvo push button."
key space; hear "Characters to Start text." "1." "Enter number of characters to start, then press"

# A lesson of one character, "q" (four tones). The status is heard, and the
# answer the box shows after the time-out.
start_recording
key Tab; hear "Start Sending push button."
key space; hear "Type each character you hear, or wait"
await_tones 4 20
MARK=$(wc -l <"$HEARD")
hear_line() {   # a line that is the text alone, as a screen reader speaks a character
  wait_until 15 "hearing '$1' alone (heard: $(tail -n +$((MARK + 1)) "$HEARD" | tr '\n' '|'))" \
    bash -c 'tail -n +$(($2 + 1)) "$1" | grep -c -x -- "$3\.\?" | grep -q "^[$4-9]"' _ "$HEARD" "$MARK" "$1" "${2:-1}"
}
hear_line q
# Asked again; the right key is echoed by the screen reader and then the
# box's echo is spoken.
await_tones 8 20
key q; hear_line q 2
# "Stop Kalvo": the rating and the status, in one announcement.
MARK=$(wc -l <"$HEARD")
click_at 61 324
hear "Your current mastery rating is" "Here's how you did."
stop_recording
# The chart, last in the Tab order, is read with its bars: from the text box
# Tab passes the speed column and "Start Kalvo" (the other controls are hidden
# or disabled now).
for control in "Code Speed scroll bar" "Code Speed text." "Farnsworth Speed scroll bar" "Farnsworth Speed text." \
  "Audio Frequency scroll bar" "Audio Frequency text." "Start Kalvo push button."; do
  key Tab; hear "$control"
done
key Tab; hear "Error Histogram" "Q 0"
# The send ends after the abort and shows the same status: it was heard once.
grep -c "The box shows only the text that was sent." "$HEARD" | grep -qx 1 ||
  { echo "FAIL: the status after the abort was not heard once"; cat "$HEARD"; exit 1; }
echo PASS
