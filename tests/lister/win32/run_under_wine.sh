#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual X screen, in a Wine prefix of its own that
# goes away afterwards. A window manager (openbox), when installed, gives the windows focus and
# spares Wine its wait for a manager on every window that goes away.
# usage: run_under_wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
prefix="$(mktemp -d)"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
read -r -d '' inner <<'INNER' || true
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
fi
wineboot -i >/dev/null 2>&1
wine "$@"
INNER
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" run "$@"
