#!/usr/bin/env bash
# The real program under the virtual display, read the way a screen reader reads
# it: in a private D-Bus session with its own accessibility bus and registry,
# the program started with accessibility on, and a pyatspi client (a11y_bus.py)
# walking its tree, pressing buttons through the action interface and watching
# the events that reach the bus.
set -u
source "$(dirname "$0")/common.sh"
in_private_session "$0" "$@"
e2e_init "$@"
LAUNCHER=/usr/libexec/at-spi-bus-launcher
PYTHON=/usr/bin/python3   # pyatspi is a system package
[ -x "$LAUNCHER" ] || { echo "SKIP: at-spi2-core is missing"; exit 77; }
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing"; exit 77; }

"$LAUNCHER" --launch-immediately >"$WORK/launcher.log" 2>&1 &
BUS_PID=$!
trap 'kill "$BUS_PID" 2>/dev/null; e2e_cleanup' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
start_app
"$PYTHON" "$(dirname "$0")/a11y_bus.py" "$WID"
