#!/usr/bin/env bash
# Builds the test programs with AddressSanitizer + UndefinedBehaviorSanitizer
# (build-asan) and with ThreadSanitizer (build-tsan) and runs them; any
# sanitizer report fails the run. The window tests run on Qt's offscreen
# platform; the real sound path runs against the private PulseAudio null sink
# of tools/services.sh, started here unless a server is already given in
# PULSE_SERVER. The end-to-end tests of the real program and the benchmarks are
# left out: they add minutes and no code of their own.
#
#   bash tools/sanitize.sh [asan|tsan]...    (both when none is named)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# The tests each build runs, by CTest label. AddressSanitizer runs the unit,
# window and sound tests. ThreadSanitizer runs the audio tests: their threads
# are the program's own (the sound output with its transfer thread, the device
# callbacks). The window tests add only Qt's painting threads, whose
# uninstrumented synchronisation it would report as races.
asan_labels=(unit window sound)
tsan_labels=(audio)

export QT_QPA_PLATFORM=offscreen
# Leaks are not looked for: Qt keeps its caches to the end, and the sound output
# leaves its ring in place on purpose when a failing device may still hold it.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$root/tests/audio/tsan.supp:halt_on_error=1:second_deadlock_stack=1"

# build_and_run <preset> <labels...>: builds the programs of the tests with
# those labels (the targets tests_<label>) into build-<preset>, with the
# preset's sanitizer flags (CMakePresets.json), and runs the tests.
build_and_run() {
  local preset=$1 folder=build-$1
  shift
  local targets=("${@/#/tests_}")
  local pattern="^($(IFS='|'; echo "$*"))\$"
  local werror=()
  [ "${CI:-}" = true ] && werror=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
  cmake --preset "$preset" "${werror[@]}" >/dev/null || return 1
  cmake --build --preset "$preset" --target "${targets[@]}" || return 1
  echo "== $folder: tests labelled $pattern"
  # Reports go to files, so that none is lost in output a test captures, and
  # any report fails the run, even one from a program whose exit status a test
  # does not look at.
  rm -rf "$folder/reports" && mkdir -p "$folder/reports"
  local log="log_path=$root/$folder/reports/log"
  local failed=0
  (cd "$folder" && ASAN_OPTIONS="$ASAN_OPTIONS:$log" UBSAN_OPTIONS="$UBSAN_OPTIONS:$log" \
    TSAN_OPTIONS="$TSAN_OPTIONS:$log" ctest -j2 --output-on-failure -L "$pattern") || failed=1
  if compgen -G "$folder/reports/log.*" >/dev/null; then
    cat "$folder"/reports/log.*
    failed=1
  fi
  return $failed
}

variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(asan tsan)

if [ -z "${PULSE_SERVER:-}" ]; then
  source tools/services.sh
  trap services_stop EXIT
  services_start
fi

status=0
for v in "${variants[@]}"; do
  start=$SECONDS
  case $v in
    asan) build_and_run asan "${asan_labels[@]}" || status=1 ;;
    tsan) build_and_run tsan "${tsan_labels[@]}" || status=1 ;;
    *) echo "unknown variant: $v"; status=1 ;;
  esac
  echo "== $v: $((SECONDS - start)) s"
done
exit $status
