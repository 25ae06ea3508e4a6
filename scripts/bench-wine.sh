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
# For each Windows build this host can run (WINES="win32 win64" by default:
# the i686 build under Wine's 32-bit loader, the x86_64 build under wine64;
# a host that runs no 32-bit programs has only win64, said so), in its own
# section: each build's figures stand against its own floor, never against
# the other build's. Builds what it needs, in the build's own prefix on a
# virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${RUNS:-15}
JOBS=${JOBS:-2}
WINES=${WINES:-"win32 win64"}
. scripts/packages.sh
lorvane_set_up
. scripts/builds.sh
. scripts/wine-env.sh
trap lorvane_stop_all EXIT
trap 'exit 130' INT TERM
STRESS=build/bench-wine-stress-1000.txt
python3 scripts/gen_stress.py --advances 1000 --order forward -o "$STRESS"
lorvane_start_display

for arch in $WINES; do
  case $arch in
    win32 | win64) machine=$(lorvane_machine "$arch") ;;
    *) echo "bench-wine: no Wine called '$arch' (win32 or win64)" >&2; exit 2 ;;
  esac
  why=$(lorvane_wine_cannot_run "$arch")
  if [ -n "$why" ]; then
    echo "=== $arch: not timed: $why"
    continue
  fi
  dir=$(lorvane_build_dir "$arch")
  echo "=== $arch: the $machine build ($dir) under $([ $arch = win32 ] && echo "Wine's 32-bit loader" || echo wine64)"
  lorvane_build_kind "$arch" "build/bench-wine-$arch" lorvane lorvane-floor lorvane-floor-comdlg32 \
    lorvane-floor-scroll-bars lorvane-startup-bench lorvane-draw-bench || exit 1
  E2E=$dir/tests/e2e
  lorvane_use_wine "$arch"
  lorvane_make_prefix

  echo "== $arch start-up ($RUNS runs each, alternating)"
  bash scripts/wine-run.sh "$E2E/lorvane-startup-bench.exe" "$(pwd)/$dir/app/lorvane.exe" \
    "$(pwd)/data/RULES.TXT" "$(pwd)/$E2E/lorvane-floor.exe" "$RUNS" \
    "$(pwd)/$E2E/lorvane-floor-comdlg32.exe" "$(pwd)/$E2E/lorvane-floor-scroll-bars.exe"

  echo "== $arch drawing ($RUNS runs each; one process per file, so the peaks are its own)"
  for file in data/RULES.TXT "$STRESS"; do
    abs=$(realpath "$file")
    bash scripts/wine-run.sh "$E2E/lorvane-draw-bench.exe" "Z:${abs//\//\\}" "$RUNS"
  done
done
