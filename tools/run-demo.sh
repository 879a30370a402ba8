#!/usr/bin/env bash
# Installs what is missing, builds, and lists the bundled demo archive.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/lister/cli/trovanta-ls build/demo/HEROES.SPR
