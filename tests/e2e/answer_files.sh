#!/usr/bin/env bash
# A practice file with spoken answers read back by programs that did not write
# it: kalvo-render writes three words with answers to Ogg Vorbis, sox decodes
# it, answer_segments.py finds the Morse, the voice and the repeat of each
# word with their pauses and levels, and multimon-ng's Morse decoder must read
# every Morse segment as its word.
#
#   answer_files.sh KALVO_RENDER ARTIFACTS
set -u
RENDER=$1
ARTIFACTS=$2
HERE=$(dirname "$0")
for tool in sox multimon-ng python3; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
WORK=$(mktemp -d /tmp/kalvo-e2e.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$ARTIFACTS"

WORDS=(CQ TEST PARIS)
"$RENDER" --char-wpm 20 --overall-wpm 20 --answers --pauses 1,1,2 --repeat-level -6 --text "${WORDS[*]}" \
  "$WORK/answers.ogg" || { echo "FAIL: render"; exit 1; }
cp "$WORK/answers.ogg" "$ARTIFACTS/kalvo-answers.ogg"
sox "$WORK/answers.ogg" -b 16 -r 8000 "$WORK/answers.wav"
report=$(python3 "$HERE/answer_segments.py" "$WORK/answers.wav" 3 1,1,2 -6)
status=$?
echo "$report" | grep -v '^morse '
k=0
while read -r _ start seconds; do
  word=${WORDS[$((k / 2))]}
  decoded=$(sox "$WORK/answers.wav" -t raw -r 22050 -e signed -b 16 -c 1 - trim "$start" "$seconds" pad 0 1 \
    | multimon-ng -q -c -a MORSE_CW -d 60 -g 60 -t raw - 2>/dev/null | tr -d ' \n')
  echo "Morse segment $((k + 1)): \"$decoded\""
  [ "$decoded" = "$word" ] || { echo "FAIL: the Morse of \"$word\" decodes as \"$decoded\""; status=1; }
  k=$((k + 1))
done < <(echo "$report" | grep '^morse ')
[ "$k" -eq 6 ] || status=1
[ "$status" -eq 0 ] && echo "PASS"
exit "$status"
