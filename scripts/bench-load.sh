#!/usr/bin/env bash
# Configures, builds and runs the load benchmark (build/bench), then prints
# the table of load times against the bare line-reading baseline
# (scripts/bench_load_table.py).
#   bash scripts/bench-load.sh
#   REPS=3 bash scripts/bench-load.sh [Google Benchmark options...]
set -euo pipefail
cd "$(dirname "$0")/.."
REPS=${REPS:-5}
JOBS=${JOBS:-2}

. scripts/builds.sh
BUILD_DIR=$(lorvane_build_dir bench)
lorvane_build_kind bench "$BUILD_DIR/bench" lorvane-bench || exit 1

RESULTS="$BUILD_DIR/bench/load-results.json"
"$BUILD_DIR/bench/lorvane-bench" \
  --benchmark_repetitions="$REPS" \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$RESULTS" --benchmark_out_format=json "$@" >/dev/null 2>"$BUILD_DIR/bench/load-context.txt"
sed -n "/^Run on/,/^Load Average/p" "$BUILD_DIR/bench/load-context.txt"

python3 scripts/bench_load_table.py "$RESULTS"
