#!/usr/bin/env bash
# Configures and builds Kalvo into ./build: everything (program, tools, tests,
# benchmarks), or with --no-tests what the program and its package need, which
# builds without the test libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=dev
case "${1:-}" in
  "") ;;
  --no-tests) preset=release ;;
  *) echo "usage: tools/build.sh [--no-tests]" >&2; exit 2 ;;
esac
# CI builds treat warnings as errors.
werror=()
[ "${CI:-}" = true ] && werror=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
cmake --preset $preset "${werror[@]}" >/dev/null
cmake --build --preset $preset
