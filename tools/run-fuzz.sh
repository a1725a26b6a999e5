#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, each on a
# scratch copy of its committed seed corpus (fuzz/corpus/<name>) so that the
# committed corpus stays small; at most [jobs] targets at a time (1 by
# default). A target's libFuzzer options, such as the longest input worth
# trying, stand in fuzz/<name>_fuzz.options as "name = value" lines. Prints, per target, the executions, the executions per second,
# the corpus reached and the coverage (cov: edges, ft: features). Fails when
# a target finds a crash, a hang, a leak or a broken invariant; the input
# that did it is kept in <build>/artifacts/<name>/ and the run's log in
# <build>/logs/.
#   tools/run-fuzz.sh [build dir] [seconds per target] [jobs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
jobs=${3:-1}

# One target's run; its result (ok or FAILED) goes to <build>/logs/<name>.result.
fuzz_one() {
  local binary=$1 name
  name=$(basename "$binary")
  name=${name%_fuzz}
  local corpus="$build/corpus/$name" artifacts="$build/artifacts/$name"
  local log="$build/logs/$name.log"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "fuzz/corpus/$name" ]; then cp "fuzz/corpus/$name"/* "$corpus"/; fi
  local options=()
  if [ -f "fuzz/${name}_fuzz.options" ]; then
    while IFS= read -r option; do options+=("$option"); done < <(
      sed -nE 's/^[[:space:]]*([a-z_]+)[[:space:]]*=[[:space:]]*([^[:space:]]+).*/-\1=\2/p' \
        "fuzz/${name}_fuzz.options")
  fi
  echo "fuzzing $name for ${seconds}s ${options[*]} (log: $log)"
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${options[@]}" \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    echo ok >"$build/logs/$name.result"
  else
    echo FAILED >"$build/logs/$name.result"
    tail -n 30 "$log"
  fi
}

mkdir -p "$build/logs"
running=0
for binary in "$build"/fuzz/*_fuzz; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  fuzz_one "$binary" &
  running=$((running + 1))
done
wait

status=0
printf '%-20s %-7s %12s %8s %8s %7s %7s\n' target result executions exec/s corpus cov ft
for binary in "$build"/fuzz/*_fuzz; do
  name=$(basename "$binary")
  name=${name%_fuzz}
  log="$build/logs/$name.log"
  result=$(cat "$build/logs/$name.result" 2>/dev/null || echo FAILED)
  [ "$result" = ok ] || status=1
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  coverage=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1 |
    sed -E 's/.* cov: ([0-9]+) ft: ([0-9]+).*/\1 \2/')
  printf '%-20s %-7s %12s %8s %8s %7s %7s\n' "$name" "$result" "${executions:-?}" \
    "${rate:-?}" "$(find "$build/corpus/$name" -type f | wc -l)" ${coverage:-? ?}
done
exit $status
