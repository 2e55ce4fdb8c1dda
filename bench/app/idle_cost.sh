#!/usr/bin/env bash
# What the real program costs the processor, and the sound server for it, in
# three states: the window open and idle, a lesson waiting for an answer, and a
# text being sent. It runs the program under the virtual display with the
# private PulseAudio null sink (started here when not running), reads CPU time
# and context switches of every thread from /proc, and writes a table.
#   bash bench/app/idle_cost.sh [BUILD_DIR] [ROUNDS]
# Figures: CPU-s/s (CPU seconds per second of wall time; while sending that is
# per second of audio), wake-ups/s (voluntary and involuntary switches of all
# threads), and the server's CPU above its own with no client at all.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
ROUNDS=${2:-3}
OUT=$BUILD/artifacts/idle-cost.txt
source "$ROOT/tools/services.sh"
STARTED_HERE=
if [ -z "${KALVO_NULL_SINK:-}" ]; then
  services_start >/dev/null || exit 1
  STARTED_HERE=1
fi
source "$ROOT/tests/e2e/common.sh"
e2e_init "$BUILD/app/kalvo" "$BUILD/tests/e2e/tone_runs" "$BUILD/artifacts" "$ROOT/data"
trap 'e2e_cleanup; [ -z "$STARTED_HERE" ] || services_stop' EXIT
SERVER=$(pgrep -n -x pulseaudio)

# CPU nanoseconds and switches of all threads of a process: "ns switches".
sample() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk -v pid="$1" '{ ns += $1 } END { printf "%d ", ns }'
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'
}

# CPU seconds per second of each thread of the program over SECONDS, busiest first.
threads() {
  local task
  for task in /proc/"$APP_PID"/task/*; do
    echo "${task##*/} $(cat "$task/comm") $(cut -d' ' -f1 "$task/schedstat")"
  done | sort >"$WORK/t0"
  sleep "$1"
  for task in /proc/"$APP_PID"/task/*; do
    echo "${task##*/} $(cat "$task/comm") $(cut -d' ' -f1 "$task/schedstat")"
  done | sort >"$WORK/t1"
  join "$WORK/t0" "$WORK/t1" | awk -v secs="$1" '{ printf "%s %.4f  ", $2, ($5 - $3) / 1e9 / secs }'
  echo
}

# Measures for SECONDS; prints "kalvo-cpu kalvo-wakeups server-cpu".
measure() {
  local a s b t
  a=$(sample "$APP_PID"); s=$(sample "$SERVER")
  sleep "$1"
  b=$(sample "$APP_PID"); t=$(sample "$SERVER")
  echo "$a $b $s $t" | awk -v secs="$1" '{
    w = ($4 - $2) / secs; if (w < 0) w = 0
    printf "%.4f %.0f %.4f\n", ($3 - $1) / 1e9 / secs, w, ($7 - $5) / 1e9 / secs }'
}

server_alone() {
  local s t
  s=$(sample "$SERVER"); sleep "$1"; t=$(sample "$SERVER")
  echo "$s $t" | awk -v secs="$1" '{ printf "%.4f\n", ($3 - $1) / 1e9 / secs }'
}

: >"$WORK/rows"; : >"$WORK/threads"; : >"$WORK/latency"
for round in $(seq "$ROUNDS"); do
  base=$(server_alone 10)
  start_app
  # Idle: the window open, nothing sent, after the first 12 seconds.
  sleep 12
  echo "idle $(measure 20) $base" >>"$WORK/rows"
  echo "idle, per thread: $(threads 5)" >>"$WORK/threads"
  # A lesson of one character waiting for the answer: measured in the 8
  # seconds of the first question's countdown.
  start_recording
  click_at 61 268
  click_at 61 292
  await_tones 4 20
  echo "lesson-waiting $(measure 5) $base" >>"$WORK/rows"
  click_at 61 324
  stop_recording
  # Sending: a long text, measured while it plays.
  click_at 100 120
  xdotool key ctrl+a
  xdotool type --delay 5 "paris paris paris paris paris paris paris paris"
  # "Send Text" after six seconds of quiet: from the click to the first tone
  # in the recording (to within the recording's latency of 20 ms).
  start_recording
  sleep 6
  at=$(($(stat -c %s "$REC") - 44))
  click_at 360 20
  await_tones 3 20
  "$TONE_RUNS" "$REC" | awk -v at="$at" 'NR == 1 { printf "click-to-tone %.3f\n", $1 - at / 16000 }' >>"$WORK/latency"
  echo "sending $(measure 15) $base" >>"$WORK/rows"
  echo "sending, per thread: $(threads 5)" >>"$WORK/threads"
  stop_recording
  kill "$APP_PID"; wait "$APP_PID" 2>/dev/null; APP_PID=
done

{
  echo "state            kalvo CPU-s/s   wake-ups/s   server extra CPU-s/s   (median of $ROUNDS)"
  for state in idle lesson-waiting sending; do
    grep "^$state " "$WORK/rows" | awk -v state="$state" '
      { cpu[NR] = $2; wake[NR] = $3; srv[NR] = $4 - $5 }
      function median(a, n,   i, j, t) { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                                         return a[int((n + 1) / 2)] }
      END { printf "%-16s %12.4f %12.0f %20.4f\n", state, median(cpu, NR), median(wake, NR), median(srv, NR) }'
  done
  echo "rows: state kalvo-cpu wakeups server-cpu server-baseline"
  cat "$WORK/rows" "$WORK/threads" "$WORK/latency"
} | tee "$OUT"
