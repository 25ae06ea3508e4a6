#!/usr/bin/env bash
# The longer fuzz run: by default 10 million executions on one worker, on a
# corpus kept in build/fuzz/corpus across runs (seeded on first use).
#   RUNS=N          executions (default 10000000)
#   MAX_SECONDS=S   stop earlier after S seconds (default: no limit)
# Run it in the background; it prints the figures at the end:
#   nohup bash fuzz/long.sh > build/fuzz/long.out 2>&1 &
set -euo pipefail
REPO="$(cd "$(dirname "$0")/.." && pwd)"
. "$REPO/fuzz/common.sh"

RUNS="${RUNS:-10000000}"
build_fuzzer
corpus="$FUZZ_BUILD/corpus"
if [ ! -d "$corpus" ]; then
  stage_seeds "$corpus"
fi
log="$FUZZ_BUILD/long.log"
limit=()
if [ -n "${MAX_SECONDS:-}" ]; then limit=(-max_total_time="$MAX_SECONDS"); fi
echo "fuzz long run: $RUNS executions, corpus $corpus ($(ls "$corpus" | wc -l) files), log $log"
start=$(date +%s)
status=0
run_fuzzer "$log" "$corpus" -runs="$RUNS" "${limit[@]}" || status=$?
end=$(date +%s)
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "executions: ${runs:-?} in $((end - start)) s ($(( ${runs:-0} / (end - start + 1) )) per s)"
corp=$(grep -a -o 'corp: [0-9]*/[0-9]*[KMb]*' "$log" | tail -n 1 | cut -d' ' -f2)
echo "corpus: ${corp:-?} (libFuzzer's units/bytes); $(ls "$corpus" | wc -l) files in $corpus"
if [ "$status" -ne 0 ]; then
  grep -a -A 30 -m 1 'ERROR\|invariant violated\|runtime error\|interrupted' "$log" || tail -n 30 "$log"
  echo "FINDING: see $log and $FUZZ_BUILD/artifacts/"
  exit 1
fi
echo "no finding"
