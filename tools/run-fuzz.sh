#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, one after the
# other, each on a scratch copy of its committed seed corpus (fuzz/corpus/<name>)
# so that the committed corpus stays small. Prints, per target, the executions,
# the corpus reached and the coverage (cov: edges, ft: features). Fails when a
# target finds a crash, a hang, a leak or a broken invariant; the input that
# did it is kept in <build>/artifacts/<name>/ and the run's log in <build>/logs/.
#   tools/run-fuzz.sh [build dir] [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
rows=()
for binary in "$build"/fuzz/*_fuzz; do
  target=$(basename "$binary")
  name=${target%_fuzz}
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  log="$build/logs/$name.log"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  if [ -d "fuzz/corpus/$name" ]; then cp "fuzz/corpus/$name"/* "$corpus"/; fi
  echo "fuzzing $name for ${seconds}s (log: $log)"
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    tail -n 30 "$log"
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1 |
    sed -E 's/.* cov: ([0-9]+) ft: ([0-9]+).*/\1 \2/')
  rows+=("$(printf '%-20s %-7s %12s %8s %7s %7s' "$name" "$result" "${executions:-?}" \
    "$(find "$corpus" -type f | wc -l)" ${coverage:-? ?})")
done
printf '%-20s %-7s %12s %8s %7s %7s\n' target result executions corpus cov ft
printf '%s\n' "${rows[@]}"
exit $status
