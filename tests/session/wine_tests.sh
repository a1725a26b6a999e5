#!/usr/bin/env bash
# Runs the Wine tests (WineSession.*) of a build on an X display of their own
# (Xvfb), in one process, so that they share Wine's prefix and display. The
# dialogs are answered by a driver (xdotool) racing Wine's windows, which a
# busy machine can upset: a test that fails is run once more, alone, on a
# fresh display, and the run passes only if it then passes. Its first
# failure stays in the log above the second run.
#   tests/session/wine_tests.sh BUILD_DIR
set -uo pipefail
build=${1:?build directory}
tests="$build/lotrano_session_tests"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
xvfb-run -a "$tests" --gtest_filter='WineSession.*' 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && exit 0
failed=$(sed -nE 's/^\[  FAILED  \] (WineSession\.[A-Za-z0-9_]+).*$/\1/p' "$log" | sort -u)
# A run that ended without naming a failed test (a crash) is not repeated.
[ -n "$failed" ] || exit "$status"
status=0
for test in $failed; do
  echo "=== $test failed; running it once more, alone, on a fresh display"
  xvfb-run -a "$tests" --gtest_filter="$test" || status=1
done
exit $status
