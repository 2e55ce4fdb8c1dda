#!/usr/bin/env bash
# Runs the selected tests N times in a row under one start of the services
# (virtual display, private sound server) and prints, per test, how many runs
# passed. Exits non-zero when any run of any test failed. The output of every
# run with a failure is kept in build/artifacts/repeat/.
#
#   tools/repeat-tests.sh N [CTEST-REGEX]     e.g. tools/repeat-tests.sh 20 '^e2e_'
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-}
regex=${2:-.}
case "$runs" in
  '' | *[!0-9]* | 0) echo "usage: tools/repeat-tests.sh N [CTEST-REGEX]" >&2; exit 2 ;;
esac
[ -f build/CTestTestfile.cmake ] || bash tools/build.sh || exit 1

source tools/services.sh
trap services_stop EXIT
services_start

kept=build/artifacts/repeat
rm -rf "$kept"
mkdir -p "$kept"
declare -A passed total
order=()
for ((i = 1; i <= runs; i++)); do
  log=$(mktemp)
  (cd build && ctest -R "$regex" --output-on-failure --timeout 600 -j1) >"$log" 2>&1
  # ctest's result lines: "  3/6 Test #273: e2e_texts_files ....   Passed    9.05 sec"
  while read -r name result; do
    [ -n "${total[$name]+x}" ] || { order+=("$name"); total[$name]=0; passed[$name]=0; }
    total[$name]=$((total[$name] + 1))
    if [ "$result" = Passed ]; then
      passed[$name]=$((passed[$name] + 1))
    else
      cp "$log" "$kept/run$i.log"
    fi
  done < <(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) [ .*]*\([A-Za-z]*\).*/\1 \2/p' "$log")
  rm -f "$log"
  echo "run $i of $runs done" >&2
done

[ ${#order[@]} -gt 0 ] || { echo "no test matches '$regex'" >&2; exit 1; }
failed=0
for name in "${order[@]}"; do
  echo "$name ${passed[$name]}/${total[$name]}"
  [ "${passed[$name]}" -eq "$runs" ] || failed=1
done
[ $failed -eq 0 ] || echo "logs of the failed runs: $kept/" >&2
exit $failed
