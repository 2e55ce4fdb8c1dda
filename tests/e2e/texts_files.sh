#!/usr/bin/env bash
# The real program under the virtual display loads practice text 1 and saves
# and loads the settings file through its menu.
set -u
source "$(dirname "$0")/common.sh"
e2e_init "$@"
start_app

click_at 136 20             # "Load practice Text", with "1" in the number box
text=$(read_box 100 120)
expected=$(head -n 1 "$WORK/P0" | tr -d '\r')
echo "text box: $text"
[ "$(echo "$text" | head -n 1)" = "$expected" ] || { echo "FAIL: expected practice text 1: $expected"; exit 1; }
number=$(read_box 192 50)
[ "$number" = "2" ] || { echo "FAIL: the number box shows '$number', expected 2"; exit 1; }

advanced_item 0             # SaveEnvironment
wait_until 10 "Kalvoinit.txt was saved" test -s "$WORK/Kalvoinit.txt"
saved=$(od -c "$WORK/Kalvoinit.txt" | head -n 3)
[ "$(cat "$WORK/Kalvoinit.txt")" = "$(printf '2\r\n5\r\n14\r\n800\r\n1\r')" ] || { echo "FAIL: saved file:"; echo "$saved"; exit 1; }

printf '7\r\n10\r\n20\r\n600\r\n3\r\n' >"$WORK/Kalvoinit.txt"
advanced_item 1             # LoadEnvironment
for check in "192 50 7" "600 122 10" "600 186 20" "596 250 600"; do
  set -- $check
  value=$(read_box "$1" "$2")
  [ "$value" = "$3" ] || { echo "FAIL: box at $1,$2 shows '$value', expected $3"; exit 1; }
done
echo "PASS"
