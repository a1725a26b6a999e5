#!/usr/bin/env bash
# Runs the Wine tests (WineSession.*) of a build on an X display of their own
# (Xvfb), in one process, so that they share Wine's prefix and display. The
# dialogs are answered by a driver (xdotool) racing Wine's windows, which a
# busy machine can upset: a test that fails is run once more, alone, on a
# fresh display, and the run passes only if it then passes. Its first
# failure stays in the log above the second run.
#
# On each display, Wine's server is started first and kept running until the
# tests end, and one program is run before them: Wine's start (its server,
# its services, the desktop's window) would otherwise fall on the first
# test's dialog, and on a busy machine outlast the driver's wait.
#   tests/session/wine_tests.sh BUILD_DIR
set -uo pipefail
build=${1:?build directory}
tests="$build/lotrano_session_tests"
export WINEPREFIX
WINEPREFIX=$(realpath "$build/wineprefix")
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The tests named by the gtest filter $1, on the display xvfb-run gives.
on_display() {
  # shellcheck disable=SC2016
  xvfb-run -a bash -c '
    WINEDEBUG=-all wineserver -p
    WINEDEBUG=-all timeout 300 wine cmd /c exit > /dev/null 2>&1
    "$0" --gtest_filter="$1"
    status=$?
    WINEDEBUG=-all wineserver -k > /dev/null 2>&1
    exit $status' "$tests" "$1"
}

on_display 'WineSession.*' 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && exit 0
failed=$(sed -nE 's/^\[  FAILED  \] (WineSession\.[A-Za-z0-9_]+).*$/\1/p' "$log" | sort -u)
# A run that ended without naming a failed test (a crash) is not repeated.
[ -n "$failed" ] || exit "$status"
status=0
for test in $failed; do
  echo "=== $test failed; running it once more, alone, on a fresh display"
  on_display "$test" || status=1
done
exit $status
