# Helpers for the end-to-end tests: the real program under the virtual display,
# its sound recorded from the private PulseAudio null sink.
# Exit code 77 marks a test as skipped when those services are not running.

# Runs the calling script again inside a D-Bus session of its own (the tests
# that talk to the accessibility bus); returns at once when already inside.
# Usage: in_private_session "$0" "$@"
in_private_session() {
  [ -z "${KALVO_PRIVATE_SESSION:-}" ] || return 0
  command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is missing"; exit 77; }
  KALVO_PRIVATE_SESSION=1 exec dbus-run-session -- bash "$@"
}

e2e_init() {
  KALVO_BIN=$1
  TONE_RUNS=$2
  ARTIFACTS=$3
  DATA=$4
  if [ -z "${DISPLAY:-}" ] || [ -z "${PULSE_SERVER:-}" ] || [ -z "${KALVO_NULL_SINK:-}" ]; then
    echo "SKIP: needs the virtual display and the null sink (run through tools/test.sh)"
    exit 77
  fi
  for tool in xdotool xclip parecord import; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
  done
  WORK=$(mktemp -d /tmp/kalvo-e2e.XXXXXX)
  mkdir -p "$ARTIFACTS"
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  [ -n "${REC_PID:-}" ] && kill "$REC_PID" 2>/dev/null
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
  # Only these: a sound server a test started again runs on after it.
  # With no process named, wait would wait for every child: a script that
  # started the services itself would never end.
  local pids="${REC_PID:-} ${APP_PID:-}"
  [ -z "${pids// /}" ] || wait $pids 2>/dev/null
  rm -rf "$WORK"
}

# Starts the program in $WORK (with the data it ships) and waits for its window.
start_app() {
  cp "$DATA"/P[0-9] "$DATA"/help.htm "$WORK"/
  (cd "$WORK" && exec "$KALVO_BIN") >"$WORK/app.log" 2>&1 &
  APP_PID=$!
  await_window
}

# Runs a command every 0.1 s until it succeeds; after SECONDS the test fails
# with the description.  Usage: wait_until SECONDS DESCRIPTION COMMAND [ARG...]
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || { echo "FAIL: $what within $seconds s"; exit 1; }
    sleep 0.1
  done
}

# Waits until the main window of process $APP_PID (output in $WORK/app.log) is
# mapped with its menu bar laid out, gives it the keyboard focus and measures
# its menu bar.
await_window() {
  WID=
  for _ in $(seq 200); do
    WID=$(xdotool search --onlyvisible --pid "$APP_PID" --name '^Kalvo: ' 2>/dev/null | head -n1)
    [ -n "$WID" ] && [ "$(menu_height)" -gt 0 ] && break
    WID=
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$WID" ] || { echo "FAIL: the main window did not appear"; cat "$WORK/app.log"; exit 1; }
  xdotool windowactivate --sync "$WID" 2>/dev/null || xdotool windowfocus --sync "$WID" 2>/dev/null || true
  MENU=$(menu_height)
}

# Height of the menu bar above the client area: the window's height less the
# client area (371 pixels with the histogram panel folded).
menu_height() {
  local h
  h=$(xdotool getwindowgeometry "$WID" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
  echo $((${h:-0} - 371))
}

# Clicks at a point of the client area (as the layout gives places).
click_at() {
  xdotool mousemove --window "$WID" "$1" $(($2 + MENU)) click 1
  sleep 0.3
}

# Starts recording the null sink's monitor, and waits until samples arrive.
# REC_LATENCY_MS (20 unless set) is the recording's latency; the null sink
# renders that far ahead of its clock, so the monitor hears a sound up to that
# much before the sink's clock says it plays.
start_recording() {
  REC="$WORK/rec.wav"
  parecord --device="$KALVO_NULL_SINK.monitor" --latency-msec="${REC_LATENCY_MS:-20}" --rate=8000 --channels=1 \
    --format=s16le --file-format=wav "$REC" &
  REC_PID=$!
  for _ in $(seq 100); do
    [ -f "$REC" ] && [ "$(stat -c %s "$REC")" -gt 2000 ] && break
    sleep 0.05
  done
}

# Waits until the recording holds at least N whole tones: the Nth has ended and
# a tenth of a second of the recording follows it.  Usage: await_tones N SECONDS
await_tones() {
  wait_until "$2" "$1 tones were recorded" recorded_tones "$1"
}

recorded_tones() {
  local bytes last
  bytes=$(stat -c %s "$REC" 2>/dev/null) || return 1
  last=$("$TONE_RUNS" "$REC" 2>/dev/null | sed -n "${1}p")
  [ -n "$last" ] || return 1
  # 16-bit mono at 8000 samples per second after a 44-byte header.
  echo "$last" | awk -v seconds="$(((bytes - 44) / 16))" '{ exit !($1 + $2 + 0.1 < seconds / 1000) }'
}

# Whether none of the program's streams on the sound server is running: each is
# stopped (corked) or closed, so that the server does no work for it.
stream_stopped() {
  local inputs
  inputs=$(pactl list sink-inputs 2>/dev/null) || return 1
  ! echo "$inputs" | grep -q "Corked: no"
}

stop_recording() {
  sleep 0.5
  kill -INT "$REC_PID" 2>/dev/null
  wait "$REC_PID" 2>/dev/null
  REC_PID=
}

# Chooses item k (from 0) of the "Advanced" menu from the keyboard: Alt+A opens
# it on its first item. Keys reach the menu in the order they were typed,
# whether or not its window is already drawn, where a click could miss it.
advanced_item() {
  local keys=(alt+a)
  for ((k = 0; k < $1; k++)); do keys+=(Down); done
  xdotool key --delay 50 "${keys[@]}" Return
}

# What the clipboard holds after a copy has reached it: the clipboard is first
# set to a mark no box holds, and read until it holds something else.
CLIP_MARK="kalvo-e2e-nothing-copied-$$"
clear_clipboard() {
  printf '%s' "$CLIP_MARK" | xclip -selection clipboard -i
}
await_clipboard() {
  local text
  for _ in $(seq 100); do
    text=$(xclip -selection clipboard -o 2>/dev/null)
    [ "$text" != "$CLIP_MARK" ] && { printf '%s\n' "$text"; return 0; }
    sleep 0.1
  done
  echo "FAIL: nothing was copied to the clipboard within 10 s" >&2
  exit 1
}

# The text of the box at a point of the client area, through the clipboard.
read_box() {
  clear_clipboard
  click_at "$1" "$2"
  xdotool key ctrl+a ctrl+c
  await_clipboard
}

# Waits up to 10 s for the program's error box, the window titled with the
# program's name alone, and sets BOX to it.
await_error_box() {
  BOX=
  for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" "" 2>/dev/null); do
      [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "Kalvo" ] && BOX=$w
    done
    [ -n "$BOX" ] && return 0
    sleep 0.1
  done
  echo "FAIL: no error box within 10 s"
  exit 1
}

# The message of the error box $BOX: it can be selected and copied.
error_box_text() {
  clear_clipboard
  xdotool windowactivate --sync "$BOX" 2>/dev/null || xdotool windowfocus --sync "$BOX" 2>/dev/null || true
  xdotool mousemove --window "$BOX" 100 20 click 1
  xdotool key ctrl+a ctrl+c
  await_clipboard
}

# Seconds recorded so far (16-bit mono at 8000 per second after the header).
recorded_seconds() {
  echo $(($(stat -c %s "$REC") - 44)) | awk '{ print $1 / 16000 }'
}

# Whether the recording ends in at least SECONDS of silence after its last tone.
quiet_for() {
  local last
  last=$("$TONE_RUNS" "$REC" 2>/dev/null | tail -n 1)
  [ -n "$last" ] || return 1
  echo "$last" | awk -v now="$(recorded_seconds)" -v q="$1" '{ exit !($1 + $2 + q < now) }'
}
