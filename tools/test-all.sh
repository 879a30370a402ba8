#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test.
#   tools/test-all.sh             the RelWithDebInfo build (build/)
#   tools/test-all.sh --sanitize  the AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."

preset=ci
if [ "${1:-}" = "--sanitize" ]; then
  preset=asan
fi

tools/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j 2
