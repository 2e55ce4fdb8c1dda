#!/usr/bin/env bash
# Installs what is missing, builds Kalvo and runs every test: unit tests, window
# tests (Qt offscreen), and the tests of the real program and the real sound path
# under a virtual display and a private PulseAudio null sink.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh --test || exit 1
bash tools/build.sh || exit 1

source tools/services.sh
trap services_stop EXIT
services_start

cd build
ctest --output-on-failure --timeout 600 -j1
