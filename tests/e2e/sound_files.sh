#!/usr/bin/env bash
# Sound files read back by programs that did not write them: kalvo-render
# writes FLAC, MP3 and Ogg Opus at 20 and at 12 words per minute (character
# speed = overall speed, as the decoder knows no Farnsworth spacing); sox and
# opusdec decode them to PCM, multimon-ng's Morse decoder must read the text
# back, and the key-down edges in the PCM must lie where the timing model puts
# them (sound_edges.py): within 1 ms for FLAC, and for the lossy formats, once
# the codec's constant delay is taken off, within 2 ms. The figures go to the
# log.
#
#   sound_files.sh KALVO_RENDER ARTIFACTS
set -u
RENDER=$1
ARTIFACTS=$2
HERE=$(dirname "$0")
for tool in sox opusdec multimon-ng python3; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
sox -h 2>&1 | grep -q 'FORMATS:.* mp3' || { echo "SKIP: sox reads no MP3 (libsox-fmt-mp3)"; exit 77; }
WORK=$(mktemp -d /tmp/kalvo-e2e.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$ARTIFACTS"

TEXT="CQ CQ DE KALVO TEST 599 PARIS"
status=0
for wpm in 20 12; do
  dot_ms=$((1200 / wpm))
  for format in flac mp3 opus; do
    file="$WORK/text$wpm.$format"
    "$RENDER" --char-wpm $wpm --overall-wpm $wpm --text "$TEXT" "$file" || { echo "FAIL: render $file"; exit 1; }
    pcm="$WORK/text$wpm-$format.wav"
    if [ $format = opus ]; then
      opusdec --quiet "$file" "$pcm"
    else
      sox "$file" -b 16 "$pcm"
    fi
    # The decoder ends a character only when the next sound or a long silence
    # comes; one second of silence after the file lets it end the last one.
    decoded=$(sox "$pcm" -t raw -r 22050 -e signed -b 16 -c 1 - pad 0 1 \
      | multimon-ng -q -c -a MORSE_CW -d $dot_ms -g $dot_ms -t raw - 2>/dev/null | tr -s ' \n' ' ' | sed 's/ *$//')
    edges=$(python3 "$HERE/sound_edges.py" "$pcm" $wpm "$TEXT")
    echo "$wpm wpm $format: decoded \"$decoded\"; $edges"
    if [ "$decoded" != "$TEXT" ]; then
      echo "FAIL: $format at $wpm wpm decodes as \"$decoded\""
      cp "$file" "$ARTIFACTS/"
      status=1
    fi
    read -r offset worst < <(awk '{print $4, $6}' <<<"$edges")
    if [ -z "${worst:-}" ]; then
      echo "FAIL: $format at $wpm wpm: $edges"
      status=1
      continue
    fi
    limit=2
    [ $format = flac ] && limit=1
    # Lossless: no delay either.
    if ! awk -v o="$offset" -v w="$worst" -v l=$limit -v f=$format \
      'BEGIN { exit !(w <= l && (f != "flac" || (o <= 1 && o >= -1))) }'; then
      echo "FAIL: $format at $wpm wpm: edges off by up to $worst ms (delay $offset ms)"
      status=1
    fi
  done
done
exit $status
