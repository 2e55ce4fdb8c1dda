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

# The programs each build runs. ThreadSanitizer runs those whose threads are
# the program's own: the sound output with its transfer thread and the device
# callbacks. The window tests add only Qt's painting threads, whose
# uninstrumented synchronisation it would report as races.
asan_tests=(tests/morse/kalvo_morse_tests tests/texts/kalvo_texts_tests tests/trainer/kalvo_trainer_tests
            tests/trainer/kalvo_histogram_tests tests/texts/kalvo_forms_tests tests/audio/audio_test
            tests/audio/audio_real_device_test tests/app/app_window_tests)
tsan_tests=(tests/audio/audio_test tests/audio/audio_real_device_test)

export QT_QPA_PLATFORM=offscreen
# Leaks are not looked for: Qt keeps its caches to the end, and the sound output
# leaves its ring in place on purpose when a failing device may still hold it.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="suppressions=$root/tests/audio/tsan.supp:halt_on_error=1:second_deadlock_stack=1"

# build_and_run <folder> <compiler flags> <test programs...>
build_and_run() {
  local folder=$1 flags=$2
  shift 2
  local targets=()
  for t in "$@"; do targets+=("$(basename "$t")"); done
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null || return 1
  cmake --build "$folder" --target "${targets[@]}" || return 1
  local failed=0
  for t in "$@"; do
    echo "== $folder/$t"
    # The tests find their data relative to the build folder, as under ctest.
    # Reports go to files, so that none is lost in output a test captures.
    rm -rf "$folder/reports" && mkdir -p "$folder/reports"
    local log="log_path=$root/$folder/reports/log"
    (cd "$folder/$(dirname "$t")" && ASAN_OPTIONS="$ASAN_OPTIONS:$log" UBSAN_OPTIONS="$UBSAN_OPTIONS:$log" \
      TSAN_OPTIONS="$TSAN_OPTIONS:$log" "./$(basename "$t")" --gtest_brief=1) \
      || { echo "FAILED: $folder/$t"; failed=1; }
    cat "$folder"/reports/log.* 2>/dev/null
  done
  return $failed
}

variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(asan tsan)

if [ -z "${PULSE_SERVER:-}" ]; then
  source tools/services.sh
  trap services_stop EXIT
  services_start
fi

# GCC leaves float-cast-overflow (NaN or a huge double converted to an integer)
# out of "undefined"; it is named on its own.
status=0
for v in "${variants[@]}"; do
  start=$SECONDS
  case $v in
    asan) build_and_run build-asan "-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer" \
            "${asan_tests[@]}" || status=1 ;;
    tsan) build_and_run build-tsan "-fsanitize=thread" "${tsan_tests[@]}" || status=1 ;;
    *) echo "unknown variant: $v"; status=1 ;;
  esac
  echo "== $v: $((SECONDS - start)) s"
done
exit $status
