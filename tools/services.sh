#!/usr/bin/env bash
# Starts and stops what the tests need: a virtual X display (Xvfb) and a private
# PulseAudio server whose default sink is a null sink. Nothing system-wide is
# touched: the server runs in user mode with its own runtime folder and socket.
#
#   source tools/services.sh; services_start; ...; services_stop
#
# services_start exports DISPLAY, PULSE_SERVER, PULSE_RUNTIME_PATH,
# XDG_RUNTIME_DIR and KALVO_NULL_SINK for the tests.

services_start() {
  KALVO_SERVICES_DIR=$(mktemp -d /tmp/kalvo-services.XXXXXX)
  export KALVO_SERVICES_DIR

  # Virtual display. Xvfb picks a free display number itself and writes it to
  # the file once it accepts connections. Without -noreset it would reset
  # whenever its last client leaves, refusing a program that connects then.
  local number="$KALVO_SERVICES_DIR/display"
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp \
    3>"$number" >"$KALVO_SERVICES_DIR/xvfb.log" 2>&1 &
  echo $! >"$KALVO_SERVICES_DIR/xvfb.pid"
  for _ in $(seq 100); do grep -q '^[0-9]' "$number" 2>/dev/null && break; sleep 0.1; done
  if ! grep -q '^[0-9]' "$number" 2>/dev/null; then
    echo "services: Xvfb did not start; see $KALVO_SERVICES_DIR/xvfb.log" >&2
    cat "$KALVO_SERVICES_DIR/xvfb.log" >&2 || true
  fi
  export DISPLAY=:$(head -n 1 "$number")

  # Private PulseAudio with a null sink as the default output.
  export XDG_RUNTIME_DIR="$KALVO_SERVICES_DIR/runtime"
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
  export PULSE_STATE_PATH="$KALVO_SERVICES_DIR/state"
  mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
  export KALVO_NULL_SINK=kalvo_null
  cat >"$KALVO_SERVICES_DIR/default.pa" <<PA
load-module module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1
load-module module-null-sink sink_name=$KALVO_NULL_SINK norewinds=1 rate=48000
set-default-sink $KALVO_NULL_SINK
PA
  services_pulse_start
}

# The sound server alone, stopped and started again (tests of a sound server
# that goes away); both need services_start to have run.
services_pulse_start() {
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --disable-shm=yes -F "$KALVO_SERVICES_DIR/default.pa" \
    >>"$KALVO_SERVICES_DIR/pulse.log" 2>&1 &
  echo $! >"$KALVO_SERVICES_DIR/pulse.pid"
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  if ! pactl info >/dev/null 2>&1; then
    echo "services: PulseAudio did not start; see $KALVO_SERVICES_DIR/pulse.log" >&2
    cat "$KALVO_SERVICES_DIR/pulse.log" >&2 || true
  fi
}

services_pulse_stop() {
  services_end "$(cat "$KALVO_SERVICES_DIR/pulse.pid")"
}

# Ends a process and waits until it is gone: SIGTERM, and SIGKILL only when it
# has not ended within five seconds (Xvfb removes its socket and lock on the
# way out; killed, it would leave them behind).
services_end() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
}

services_stop() {
  [ -n "${KALVO_SERVICES_DIR:-}" ] || return 0
  local f
  for f in pulse.pid xvfb.pid; do
    [ -f "$KALVO_SERVICES_DIR/$f" ] && services_end "$(cat "$KALVO_SERVICES_DIR/$f")"
  done
  rm -rf "$KALVO_SERVICES_DIR"
  unset KALVO_SERVICES_DIR
}
