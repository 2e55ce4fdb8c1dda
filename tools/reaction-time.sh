#!/usr/bin/env bash
# The recorded check of reaction times on the real sound path: N answers (24
# unless given) pressed at known times after the recorded end of the sound,
# each compared with the reaction time the program saved. Writes every press
# and the median and worst error to build/artifacts/reaction-time.txt.
#
#   tools/reaction-time.sh [N]
set -uo pipefail
cd "$(dirname "$0")/.."
presses=${1:-24}
[ -x build/app/kalvo ] || bash tools/build.sh || exit 1
source tools/services.sh
trap services_stop EXIT
services_start
b=$PWD/build
bash tests/e2e/reaction_time.sh "$b/app/kalvo" "$b/tests/e2e/tone_runs" "$b/artifacts" "$b" \
  "$presses" "$b/artifacts/reaction-time.txt"
