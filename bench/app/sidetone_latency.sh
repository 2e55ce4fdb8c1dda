#!/usr/bin/env bash
# The sidetone of "Sending Practice" on the real sound path: latency from key
# to sound over N presses (200 unless given), and the program's processor time
# with the window open and no key pressed, against the main window alone.
# Usage: bench/app/sidetone_latency.sh [BUILD] [N]
set -u
source "$(dirname "$0")/bench_session.sh" "${1:-}"
N=${2:-200}
start_app
cpu() { awk '{ print $14 + $15 }' "/proc/$APP_PID/stat"; }
ticks=$(getconf CLK_TCK)
idle() {   # processor seconds per second over 10 s
  local a b; a=$(cpu); sleep 10; b=$(cpu)
  echo "$a $b $ticks" | awk '{ printf "%.4f", ($2 - $1) / $3 / 10 }'
}
echo "main window alone, idle: $(idle) CPU-s/s"

# "Sending Practice..." is item 15 of "Advanced"; it opens with the focus in its keying area.
advanced_item 15
practice() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Sending Practice$' | head -n1; }
wait_until 10 "the Sending Practice window appeared" test -n "$(practice)"
xdotool windowfocus --sync "$(practice)"
echo "Sending Practice open, no key: $(idle) CPU-s/s"

start_recording
python3 "$ROOT/bench/app/sidetone_latency.py" "$REC" "$N" "$WORK/latency.txt" || exit 1
mkdir -p "$ARTIFACTS"
cp "$WORK/latency.txt" "$ARTIFACTS/sidetone-latency.txt"
stop_recording
