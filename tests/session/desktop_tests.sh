#!/usr/bin/env bash
# Runs the desktop dialog tests on the display of the environment (Xvfb under
# xvfb-run in `make gui-test`), one at a time since they share the display.
# A small window manager, when installed, gives the dialogs their title bars
# in the screenshots. Usage: tests/session/desktop_tests.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
wm_pid=
if command -v openbox >/dev/null 2>&1; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  sleep 1
fi
status=0
LOTRANO_REQUIRE_DESKTOP=1 ctest --test-dir "$build" -R '^Desktop' --output-on-failure || status=$?
if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
echo "Screenshots: $build/screenshots/"
exit "$status"
