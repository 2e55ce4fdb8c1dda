#!/usr/bin/env bash
# What sending costs, round by round, with the sound stream started cold (after
# it stopped itself in the quiet) and warm (still running from the send
# before), alternately. Each round sends PARIS at 20 wpm from the real window
# into the private PulseAudio null sink (started here when not running),
# measures 15 s of it and aborts the send.
#   bash bench/app/send_modes.sh [BUILD_DIR] [ROUNDS]
# Per round: the program's CPU-s per second of audio, the same per thread, the
# sound server's CPU-s over the round, and the buffer the server granted the
# stream (from `pactl list sink-inputs`). KALVO_SOUND=portaudio makes the
# program use the PortAudio path even where a sound server answers.
set -u
source "$(dirname "$0")/bench_session.sh" "${1:-}"
ROUNDS=${2:-10}
SECS=15
OUT=$BUILD/artifacts/send-modes.txt

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f\n", ns }'; }

# "name ns" for each thread of the program, threads of one name added up.
thread_times() {
  local task
  for task in /proc/"$APP_PID"/task/*; do
    echo "$(tr ' ' _ <"$task/comm") $(cut -d' ' -f1 "$task/schedstat")"
  done 2>/dev/null | awk 'NF == 2 { ns[$1] += $2 } END { for (n in ns) print n, ns[n] }' | sort
}

stream_running() { pactl list sink-inputs 2>/dev/null | grep -q "Corked: no"; }

# The first playing stream's buffer and the sink's latency, as the server has them.
granted() {
  pactl list sink-inputs 2>/dev/null | awk '/Corked: no/ { on = 1 } on && /Buffer Latency|Sink Latency/ {
    sub(/^[ \t]*/, ""); printf "%s; ", $0 } on && /Resample method/ { exit }'
}

# 20 wpm with Farnsworth off (overall speed = character speed), 800 Hz.
printf '1\r\n20\r\n20\r\n800\r\n2\r\n' >"$WORK/Kalvoinit.txt"
start_app
click_at 100 120
xdotool key ctrl+a
xdotool type --delay 2 "$(printf 'paris %.0s' $(seq 12))"

: >"$WORK/rounds"
for round in $(seq "$ROUNDS"); do
  if [ $((round % 2)) -eq 1 ]; then
    mode=cold
    wait_until 30 "the stream stopped itself" stream_stopped
  else
    mode=warm
    stream_running || { echo "FAIL: the stream was not running for a warm round"; exit 1; }
  fi
  click_at 360 20
  wait_until 10 "the stream started" stream_running
  sleep 1
  thread_times >"$WORK/t0"; a=$(cpu_ns "$APP_PID"); s=$(cpu_ns "$SERVER")
  sleep "$SECS"
  thread_times >"$WORK/t1"; b=$(cpu_ns "$APP_PID"); t=$(cpu_ns "$SERVER")
  grant=$(granted)
  # Abort: the send ends at the next character; the recorder, there only
  # now, tells when.
  start_recording
  click_at 508 20
  wait_until 10 "the send ended" quiet_for 0.5
  stop_recording
  threads=$(join "$WORK/t0" "$WORK/t1" | awk -v secs="$SECS" '($3 - $2) > 1e6 { printf "%s %.4f  ", $1, ($3 - $2) / 1e9 / secs }')
  echo "$round $mode $a $b $s $t" | awk -v secs="$SECS" -v th="$threads" -v g="$grant" \
    '{ printf "%2d %-4s %.4f %.3f   %s  [%s]\n", $1, $2, ($4 - $3) / 1e9 / secs, ($6 - $5) / 1e9, th, g }' >>"$WORK/rounds"
done

{
  echo "round mode kalvo-CPU-s/audio-s server-CPU-s(${SECS}s)  per thread  [granted]"
  cat "$WORK/rounds"
  awk '{ k[NR] = $3; s[NR] = $4 } END { kmax = 0; smin = 1e9; smax = 0
    for (i = 1; i <= NR; i++) { if (k[i] > kmax) kmax = k[i]; if (s[i] < smin) smin = s[i]; if (s[i] > smax) smax = s[i] }
    printf "worst round %.4f CPU-s/s; server from %.3f to %.3f s (%.2fx the cheapest)\n", kmax, smin, smax, smax / smin }' "$WORK/rounds"
} | tee "$OUT"
