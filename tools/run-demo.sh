#!/usr/bin/env bash
# Installs what is missing, builds, and opens Trovanta on the bundled demo archive. Without a
# display it lists the demo archive with trovanta-ls instead and writes a screenshot of the
# window taken under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/lister/qt/Trovanta build/demo/HEROES.SPR
fi
build/lister/cli/trovanta-ls build/demo/HEROES.SPR
echo
echo "No display: the window's picture is in $(tools/screenshot 2>/dev/null | tail -n 1)"
