#!/usr/bin/env bash
# run.sh BUILD_DIR SECONDS [TARGET...]: runs each libFuzzer target for SECONDS
# (or until FUZZ_RUNS executions, when that is set and comes first) on its
# seed corpus, then prints its executions, rate and coverage. Fails on
# any crash, sanitizer report, leak or input slower than a second. New inputs
# found go to BUILD_DIR/corpus/TARGET, never into the committed seeds.
set -uo pipefail

build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_top10 fuzz_speed fuzz_odds_args fuzz_cue)

status=0
summary=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  binary=$build/tests/fuzz/$target
  if [ ! -x "$binary" ]; then
    echo "run.sh: $binary is not built" >&2
    status=1
    continue
  fi
  work=$build/corpus/$name
  log=$build/fuzz-$name.log
  mkdir -p "$work" "$build/crashes"
  seeds=()
  for dir in "$here/corpus/$name" "$build/seeds/$name"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "== $target: $seconds s"
  "$binary" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$name-" "$work" "${seeds[@]}" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  inputs=$(find "$work" -type f | wc -l)
  if [ $code -ne 0 ]; then
    status=1
    echo "$target FAILED (exit $code); the end of $log:"
    tail -40 "$log"
  fi
  summary+=("$(printf '%-16s %12s runs %9s/s  cov %6s  ft %6s  corpus %5s  %s' "$target" \
    "${runs:-?}" "${rate:-?}" "${cov:-?}" "${features:-?}" "$inputs" \
    "$([ $code -eq 0 ] && echo ok || echo FAILED)")")
done
printf '%s\n' "${summary[@]}"
exit $status
