#!/usr/bin/env bash
# Benchmarks under Wine (not part of the test command):
#  - start-up: from starting the program until its window is painted, for
#    lorvane.exe on the sample and for the floor (a program that only shows
#    an empty window), alternating, medians and their ratio; also for the
#    floor with the common-dialog import and the floor with the viewer's
#    scroll bars (its window without any chart);
#  - drawing: the load, ComputeChartMetrics and DrawChart into the chart
#    bitmap inside one process, for the sample and a 1,000-advance stress
#    file, with the bitmap's size and the process's peak memory.
#
#   bash scripts/bench-wine.sh            (RUNS=15 by default)
# Uses build/win32 (builds what it needs) and the project's Wine prefix on a
# virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${RUNS:-15}
JOBS=${JOBS:-2}
bash scripts/setup.sh

. scripts/quiet-cmake.sh
lorvane_configure build/bench-wine-configure.log -S . -B build/win32 \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake || exit 1
lorvane_build build/bench-wine-build.log build/win32 -j"$JOBS" --target lorvane lorvane-floor \
  lorvane-floor-comdlg32 lorvane-floor-scroll-bars lorvane-startup-bench lorvane-draw-bench || exit 1
E2E=build/win32/tests/e2e
STRESS=build/bench-wine-stress-1000.txt
python3 scripts/gen_stress.py --advances 1000 --order forward -o "$STRESS"

. scripts/wine-env.sh
trap lorvane_stop_all EXIT
trap 'exit 130' INT TERM
lorvane_start_display
lorvane_make_prefix

echo "== start-up ($RUNS runs each, alternating)"
bash scripts/wine-run.sh "$E2E/lorvane-startup-bench.exe" "$(pwd)/build/win32/app/lorvane.exe" \
  "$(pwd)/data/RULES.TXT" "$(pwd)/$E2E/lorvane-floor.exe" "$RUNS" \
  "$(pwd)/$E2E/lorvane-floor-comdlg32.exe" "$(pwd)/$E2E/lorvane-floor-scroll-bars.exe"

echo "== drawing ($RUNS runs each; one process per file, so the peaks are its own)"
for file in data/RULES.TXT "$STRESS"; do
  abs=$(realpath "$file")
  bash scripts/wine-run.sh "$E2E/lorvane-draw-bench.exe" "Z:${abs//\//\\}" "$RUNS"
done
