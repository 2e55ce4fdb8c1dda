# What the benchmarks of the running program share: sourced with the build
# folder as $1 (build/ when not given), it sets ROOT and BUILD, starts the
# virtual display and the private PulseAudio null sink unless they run
# already (and stops them at exit), loads the end-to-end helpers and sets
# SERVER to the sound server's process. It also gives the cost benchmarks
# their readings: sample, thread_times, measure (into $WORK/rows and
# $WORK/threads, with $base the server's own CPU), server_alone, type_text,
# cost_table.
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

# CPU nanoseconds and switches of all threads of a process: "ns switches".
sample() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f ", ns }'
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'
}

# "tid name ns" for each thread of the program.
thread_times() {
  local task name ns
  for task in /proc/"$APP_PID"/task/*; do
    name=$(tr ' ' _ <"$task/comm") && ns=$(cut -d' ' -f1 "$task/schedstat") && [ -n "$ns" ] || continue
    echo "${task##*/} $name $ns"
  done 2>/dev/null | sort
}

# Measures STATE for SECONDS: adds "STATE kalvo-cpu kalvo-wakeups server-cpu
# baseline" to the rows, and each thread's CPU-s/s over the same seconds to the
# threads. (A thread that ends within the seconds is missing from both.)
measure() {
  local a s b t
  thread_times >"$WORK/t0"
  a=$(sample "$APP_PID"); s=$(sample "$SERVER")
  sleep "$2"
  b=$(sample "$APP_PID"); t=$(sample "$SERVER")
  thread_times >"$WORK/t1"
  echo "$1 $(echo "$a $b $s $t" | awk -v secs="$2" '{
    w = ($4 - $2) / secs; if (w < 0) w = 0
    printf "%.4f %.0f %.4f\n", ($3 - $1) / 1e9 / secs, w, ($7 - $5) / 1e9 / secs }') $base" >>"$WORK/rows"
  echo "$1, per thread: $(join "$WORK/t0" "$WORK/t1" | awk -v secs="$2" '{ printf "%s %.4f  ", $2, ($5 - $3) / 1e9 / secs }')" >>"$WORK/threads"
}

server_alone() {
  local s t
  s=$(sample "$SERVER"); sleep "$1"; t=$(sample "$SERVER")
  echo "$s $t" | awk -v secs="$1" '{ printf "%.4f\n", ($3 - $1) / 1e9 / secs }'
}

# Replaces what the text box holds with TEXT.
type_text() {
  click_at 100 120
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
}

# The table of the measured states, each the median of its rounds, then
# every row and each thread's share.  Usage: cost_table ROUNDS STATE...
cost_table() {
  echo "state            kalvo CPU-s/s   wake-ups/s   server extra CPU-s/s   (median of $1)"
  shift
  for state in "$@"; do
    grep "^$state " "$WORK/rows" | awk -v state="$state" '
      { cpu[NR] = $2; wake[NR] = $3; srv[NR] = $4 - $5 }
      function median(a, n,   i, j, t) { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                                         return a[int((n + 1) / 2)] }
      END { printf "%-16s %12.4f %12.0f %20.4f\n", state, median(cpu, NR), median(wake, NR), median(srv, NR) }'
  done
  echo "rows: state kalvo-cpu wakeups server-cpu server-baseline"
  cat "$WORK/rows" "$WORK/threads"
}
