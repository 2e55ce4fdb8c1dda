#!/usr/bin/env bash
# Configures and builds Kalvo into ./build: everything (program, tools, tests,
# benchmarks), or with --no-tests what the program and its package need, which
# builds without the test libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
testing=ON
case "${1:-}" in
  "") ;;
  --no-tests) testing=OFF ;;
  *) echo "usage: tools/build.sh [--no-tests]" >&2; exit 2 ;;
esac
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=$testing >/dev/null
cmake --build build
