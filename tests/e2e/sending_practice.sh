#!/usr/bin/env bash
# "PARIS" keyed at 20 wpm on the straight key (Space) into "Sending Practice"
# of the real program: the window reads "PARIS", and the null sink's
# recording holds the sidetone's five characters.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
start_app
start_recording

advanced_item 15            # "Sending Practice..."
practice() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Sending Practice$' | head -n1; }
wait_until 10 "the Sending Practice window appeared" test -n "$(practice)"
P=$(practice)
xdotool windowfocus --sync "$P"

# One xdotool run keys the whole word, timed by its own sleeps (a dot of 60 ms).
keys=()
for c in .--. .- .-. .. ...; do
  for ((i = 0; i < ${#c}; i++)); do
    [ "${c:i:1}" = . ] && mark=0.06 || mark=0.18
    [ $i -eq $((${#c} - 1)) ] && gap=0.18 || gap=0.06
    keys+=(keydown space sleep $mark keyup space sleep $gap)
  done
done
xdotool "${keys[@]}"
await_tones 14 10
# Alt+D takes the focus to "Decoded text", whose text is copied until it
# reads the whole word (its last character comes once the silence after it
# is long enough; a word's space follows later).
read_paris() {
  clear_clipboard
  xdotool key alt+d ctrl+a ctrl+c
  decoded=$(xclip -selection clipboard -o 2>/dev/null | sed 's/ *$//')
  [ "$decoded" = "PARIS" ]
}
wait_until 10 "the window read PARIS" read_paris
import -window "$P" "$ARTIFACTS/kalvo-sending-practice.png"
stop_recording

runs=$("$TONE_RUNS" "$REC")
echo "tones (start s, length s, Hz):"
echo "$runs"
# Elements by length, characters by the gaps between them.
heard=$(echo "$runs" | awk '
  BEGIN { code[".--."] = "P"; code[".-"] = "A"; code[".-."] = "R"; code[".."] = "I"; code["..."] = "S" }
  { if (NR > 1 && $1 - end > 0.12) { out = out (c in code ? code[c] : "*"); c = "" }
    c = c ($2 > 0.12 ? "-" : "."); end = $1 + $2 }
  END { print out (c in code ? code[c] : "*") }')
echo "heard: $heard"
[ "$heard" = "PARIS" ] || { echo "FAIL: the sidetone sounded '$heard'"; exit 1; }
echo "PASS"
