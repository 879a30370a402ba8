#!/usr/bin/env bash
# Memory soak measurements in the normal build: 10,000 listings through the listing core and
# 1,000 listings in the window. Each prints its peak resident memory after the first 100 and
# after all repetitions, and fails when the second exceeds the first by more than 10 %.
#   tools/soak.sh [BUILD_DIR]      default build/ (after tools/test-all.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cmake --build "$build" --target soak-listing soak-window
"$build"/bench/lister/soak-listing
QT_QPA_PLATFORM=offscreen "$build"/bench/window/soak-window
