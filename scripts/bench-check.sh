#!/usr/bin/env bash
# The checker's benchmark (figures, not a test):
#
#   bash scripts/bench-check.sh
#
# A Release build of lorvane-check (build/release-native) runs as a whole
# process on generated rules files of 1,000, 10,000 and 100,000 advances
# (scripts/gen_stress.py: 99 levels, unique codes, at most 100 advances on
# level 1, as many units as advances): the JSON report, the text report,
# --svg, --html and --route to an advance on the deepest level, RUNS times
# each (5; half as many, at least 3, on the largest file), timed (wall and
# CPU) and measured by /usr/bin/time.
# Prints the medians, the peak memory per advance, each output's growth
# from 10,000 to 100,000 advances and --json against --svg on the largest.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
RUNS=${RUNS:-5}
SIZES=${SIZES:-"1000 10000 100000"}
OUT=build/bench-check
# The exports and reports go to a folder in memory (tmpfs) where there is
# one (WRITES=folder for another): writing 100 MB to a disk's page cache
# takes from 0.1 to 0.4 s here, whatever the checker does.
if [ -z "${WRITES:-}" ]; then
  WRITES=$OUT/out
  [ -d /dev/shm ] && [ -w /dev/shm ] && WRITES=/dev/shm/lorvane-bench-check
fi
mkdir -p "$OUT" "$WRITES"

. scripts/builds.sh
lorvane_build_kind release-native "$OUT/" lorvane-check || exit 1
for size in $SIZES; do
  [ -s "$OUT/stress-$size.txt" ] ||
    python3 scripts/gen_stress.py --advances "$size" -o "$OUT/stress-$size.txt"
done

python3 scripts/bench_check.py "$(lorvane_build_dir release-native)/check/lorvane-check" "$OUT" \
  "$WRITES" "$RUNS" $SIZES
rm -f "$WRITES"/*.svg "$WRITES"/*.html "$WRITES"/stdout
