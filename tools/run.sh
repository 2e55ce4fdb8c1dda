#!/usr/bin/env bash
# Installs what is missing, builds Kalvo and starts it in the build folder,
# where the practice texts P0..P9 and help.htm are placed by the build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
bash tools/build.sh --no-tests
cd build
exec ./app/kalvo
