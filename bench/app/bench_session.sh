# What the benchmarks of the running program share: sourced with the build
# folder as $1 (build/ when not given), it sets ROOT and BUILD, starts the
# virtual display and the private PulseAudio null sink unless they run
# already (and stops them at exit), loads the end-to-end helpers and sets
# SERVER to the sound server's process.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
source "$ROOT/tools/services.sh"
STARTED_HERE=
if [ -z "${KALVO_NULL_SINK:-}" ]; then
  services_start >/dev/null || exit 1
  STARTED_HERE=1
fi
source "$ROOT/tests/e2e/common.sh"
e2e_init "$BUILD/app/kalvo" "$BUILD/tests/e2e/tone_runs" "$BUILD/artifacts" "$ROOT/data"
trap 'e2e_cleanup; [ -z "$STARTED_HERE" ] || services_stop' EXIT
# The server started for this run, not another test's.
SERVER=$(cat "$KALVO_SERVICES_DIR/pulse.pid" 2>/dev/null || pgrep -n -x pulseaudio)
