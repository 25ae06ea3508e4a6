#!/usr/bin/env bash
# The --diff benchmark (figures, not tests), whole process, in one run:
#
#   bash scripts/bench-diff.sh
#
# lorvane-check --diff of a generated file (scripts/gen_stress.py) against
# a mutation of it (scripts/mutate_rules.py: a few changes of every kind)
# for 1,000 and 100,000 advances, each beside --json of the larger file of
# its pair, timed by hyperfine (medians of RUNS runs, fewer for 100,000).
# The checker is a Release build at -O2, linked statically as the Windows
# release is (build/static). SIZES="1000" leaves the large pair out.
# Installs hyperfine (for benchmarks only).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
RUNS=${RUNS:-20}
LARGE_RUNS=${LARGE_RUNS:-5}
SIZES=${SIZES:-"1000 100000"}
OUT=build/bench-diff
mkdir -p "$OUT"

. scripts/packages.sh
lorvane_install_packages bench-diff hyperfine

echo "bench-diff: building"
. scripts/builds.sh
lorvane_build_kind static "$OUT/" lorvane-check || exit 1
checker="$(lorvane_build_dir static)/check/lorvane-check"

for size in $SIZES; do
  old="$OUT/stress-$size.txt"
  new="$OUT/stress-$size-mod.txt"
  python3 scripts/gen_stress.py --advances "$size" --max-dependants 90 -o "$old"
  python3 scripts/mutate_rules.py "$old" "$new"
  "$checker" --diff "$old" "$new" | tail -n 1
  larger=$old
  [ "$(stat -c %s "$new")" -gt "$(stat -c %s "$old")" ] && larger=$new
  runs=$RUNS
  [ "$size" -ge 100000 ] && runs=$LARGE_RUNS
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$OUT/diff-$size.json" \
    --output=null \
    "$checker --diff $old $new" \
    "$checker --json --diff $old $new" \
    "$checker --json $larger" >/dev/null
done

python3 scripts/bench_diff_table.py "$OUT" $SIZES
