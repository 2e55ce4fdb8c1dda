#!/usr/bin/env bash
# What band conditions cost the real program, measured as idle_cost.sh
# measures (CPU time of every thread from /proc, and the sound server's CPU
# above its own): a long text sent with every condition off, with each one on
# alone, and with every one on (noise at +10 dB through 500 Hz, fast fading of
# 15 dB, a second station and static 30 times a minute, loaded from the
# settings file with "LoadEnvironment"), and a lesson waiting for its answer
# with all on. While sending that is CPU seconds per second of sound; the aim
# with all on is at most 0.012.
#   bash bench/app/band_cost.sh [BUILD_DIR] [ROUNDS]
set -u
source "$(dirname "$0")/bench_session.sh" "${1:-}"
ROUNDS=${2:-3}
OUT=$BUILD/artifacts/band-cost.txt
TEXT="paris paris paris paris paris paris paris paris"
declare -A BAND=(
  [noise]="noise=on snr=10 filter=500"
  [qsb]="qsb=fast depth=15"
  [qrm]="qrm=on offset=150 level=-6 filter=500"
  [qrn]="qrn=on rate=30 filter=500"
  [all-on]="noise=on snr=10 filter=500 qsb=fast depth=15 qrm=on offset=150 level=-6 qrn=on rate=30 seed=1"
)

# Starts the program with the conditions of a settings line from the settings
# file (its other lines are the program's start-up values).
start_with_band() {
  start_app
  printf '1\r\n5\r\n14\r\n800\r\n1\r\n\r\n%s\r\n' "$1" >"$WORK/Kalvoinit.txt"
  advanced_item 1             # "LoadEnvironment"
  sleep 1
}

: >"$WORK/rows"; : >"$WORK/threads"
for round in $(seq "$ROUNDS"); do
  base=$(server_alone 10)
  start_app
  type_text "$TEXT"
  click_at 360 20             # "Send Text"
  sleep 3
  measure sending-off 15
  kill "$APP_PID"; wait "$APP_PID" 2>/dev/null; APP_PID=

  for kind in noise qsb qrm qrn all-on; do
    start_with_band "${BAND[$kind]}"
    type_text "$TEXT"
    click_at 360 20
    sleep 3
    [ "$kind" = qsb ] || pactl list sink-inputs | grep -q 'media.name = "Band conditions"' \
      || { echo "FAIL: the band's stream is not playing"; exit 1; }
    measure "sending-$kind" 15
    kill "$APP_PID"; wait "$APP_PID" 2>/dev/null; APP_PID=
  done

  start_with_band "${BAND[all-on]}"
  click_at 61 268             # "Start Kalvo"
  click_at 61 292             # "Start Sending"
  sleep 3                     # the question has sounded; eight seconds to answer
  measure lesson-all-on 4
  kill "$APP_PID"; wait "$APP_PID" 2>/dev/null; APP_PID=
done
cost_table "$ROUNDS" sending-off sending-noise sending-qsb sending-qrm sending-qrn sending-all-on lesson-all-on \
  | tee "$OUT"
