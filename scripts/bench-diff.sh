#!/usr/bin/env bash
# The --diff benchmark (figures, not tests), whole process, in one run:
#
#   bash scripts/bench-diff.sh
#
# 1. Time: lorvane-check --diff of a generated file (scripts/gen_stress.py)
#    against a mutation of it (scripts/mutate_rules.py: a few changes of
#    every kind) for 1,000 and 100,000 advances (SIZES), each beside --json
#    of the larger file of its pair, timed by hyperfine (medians of RUNS
#    runs, fewer for 100,000).
# 2. Memory: the peak resident set and the time of --diff, --json --diff
#    and --html --diff (/usr/bin/time -v, one run each) for 1,000, 10,000
#    and 100,000 advances (MEMORY_SIZES), on the mutated pair and on a pair
#    that differs everywhere (the same generator, another seed), for this
#    checker and, in the same run, one built from BASELINE (a git commit,
#    main unless given; empty, or the same tree as this one, for none).
#    Then --json --diff of the largest pair that differs everywhere under
#    limits of address space (ulimit -v), by each checker
#    (scripts/bench_diff_memory.py).
# The checkers are the static kind of build (scripts/builds.sh: Release at
# -O2, linked statically as the Windows release is): this tree's in
# build/static, the baseline's in build/bench-diff/baseline from its files
# alone (git archive). Outputs go to a folder in memory where there is
# one. Prints the load average before and after. Installs hyperfine and
# time (for benchmarks only).
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${RUNS:-20}
LARGE_RUNS=${LARGE_RUNS:-5}
SIZES=${SIZES:-"1000 100000"}
MEMORY_SIZES=${MEMORY_SIZES:-"1000 10000 100000"}
BASELINE=${BASELINE-main}
OUT=build/bench-diff
WRITES=$OUT/out
[ -d /dev/shm ] && [ -w /dev/shm ] && WRITES=/dev/shm/lorvane-bench-diff
mkdir -p "$OUT" "$WRITES"

. scripts/packages.sh
lorvane_install_packages bench-diff hyperfine time

echo "bench-diff: load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "bench-diff: building"
. scripts/builds.sh
lorvane_build_kind static "$OUT/" lorvane-check || exit 1
checker="$(lorvane_build_dir static)/check/lorvane-check"
baseline=""
if [ -n "$BASELINE" ] && [ "$(git rev-parse "$BASELINE^{tree}")" != "$(git rev-parse HEAD^{tree})" ]; then
  rm -rf "$OUT/baseline-source"
  mkdir -p "$OUT/baseline-source"
  git archive "$BASELINE" | tar -x -C "$OUT/baseline-source"
  mapfile -t flags < <(lorvane_build_flags static)
  lorvane_configure "$OUT/baseline-configure.log" -S "$OUT/baseline-source" -B "$OUT/baseline" \
    "${flags[@]}" || exit 1
  lorvane_build "$OUT/baseline-build.log" "$OUT/baseline" -j"${JOBS:-2}" --target lorvane-check ||
    exit 1
  baseline="$OUT/baseline/check/lorvane-check"
  echo "bench-diff: baseline $BASELINE ($(git rev-parse --short "$BASELINE"))"
fi

# The pair of SIZE advances: the file, its mutation, and the other seed's.
pair() {
  local size=$1
  python3 scripts/gen_stress.py --advances "$size" --max-dependants 90 -o "$OUT/stress-$size.txt"
  python3 scripts/mutate_rules.py "$OUT/stress-$size.txt" "$OUT/stress-$size-mod.txt"
  python3 scripts/gen_stress.py --advances "$size" --max-dependants 90 --seed 3 \
    -o "$OUT/stress-$size-other.txt"
}

for size in $SIZES; do
  pair "$size"
  old="$OUT/stress-$size.txt"
  new="$OUT/stress-$size-mod.txt"
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

for size in $MEMORY_SIZES; do
  case " $SIZES " in
    *" $size "*) ;;
    *) pair "$size" ;;
  esac
done
python3 scripts/bench_diff_memory.py "$OUT" "$WRITES" "$checker" "$baseline" $MEMORY_SIZES
rm -f "$WRITES"/stdout "$WRITES"/diff.html
echo "bench-diff: load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
