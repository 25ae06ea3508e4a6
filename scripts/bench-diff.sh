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
#    a limit of 2 GiB of address space (ulimit -v), by each checker.
# The checkers are Release builds at -O2, linked statically as the Windows
# release is (build/bench-diff, build/bench-diff/baseline); outputs go to
# a folder in memory where there is one. Prints the load average before
# and after. Installs hyperfine and time (for benchmarks only).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
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
. scripts/quiet-cmake.sh
build_checker() {
  local source=$1 folder=$2
  lorvane_configure "$folder/configure.log" -S "$source" -B "$folder" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DLORVANE_STATIC=ON -DLORVANE_TESTS=OFF || exit 1
  lorvane_build "$folder/build.log" "$folder" -j"$JOBS" --target lorvane-check || exit 1
}
build_checker . "$OUT"
checker="$OUT/check/lorvane-check"
baseline=""
if [ -n "$BASELINE" ] && [ "$(git rev-parse "$BASELINE^{tree}")" != "$(git rev-parse HEAD^{tree})" ]; then
  rm -rf "$OUT/baseline-source"
  mkdir -p "$OUT/baseline-source"
  git archive "$BASELINE" | tar -x -C "$OUT/baseline-source"
  build_checker "$OUT/baseline-source" "$OUT/baseline"
  baseline="$OUT/baseline/check/lorvane-check"
  echo "bench-diff: baseline $BASELINE ($(git rev-parse --short "$BASELINE"))"
fi

pair() {
  local size=$1
  [ -s "$OUT/stress-$size.txt" ] ||
    python3 scripts/gen_stress.py --advances "$size" --max-dependants 90 -o "$OUT/stress-$size.txt"
  [ -s "$OUT/stress-$size-mod.txt" ] ||
    python3 scripts/mutate_rules.py "$OUT/stress-$size.txt" "$OUT/stress-$size-mod.txt"
  [ -s "$OUT/stress-$size-other.txt" ] || python3 scripts/gen_stress.py --advances "$size" \
    --max-dependants 90 --seed 3 -o "$OUT/stress-$size-other.txt"
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

python3 - "$OUT" $SIZES <<'PY'
import json
import sys

out, sizes = sys.argv[1], sys.argv[2:]
print("%9s | %12s %12s | %12s | %7s %7s" % (
    "advances", "--diff", "--diff json", "--json", "ratio", "json"))
for size in sizes:
    diff, diff_json, report = (r["median"] for r in json.load(
        open("%s/diff-%s.json" % (out, size)))["results"])
    print("%9s | %9.1f ms %9.1f ms | %9.1f ms | %6.2fx %6.2fx" % (
        size, diff * 1e3, diff_json * 1e3, report * 1e3, diff / report, diff_json / report))
print("medians; ratio: --diff (text, then JSON) over --json of the larger file")
PY

for size in $MEMORY_SIZES; do pair "$size"; done
python3 - "$OUT" "$WRITES" "$checker" "$baseline" $MEMORY_SIZES <<'PY'
import os
import re
import subprocess
import sys

out, writes, checker, baseline = sys.argv[1:5]
sizes = [int(s) for s in sys.argv[5:]]
checkers = [("new", checker)] + ([("baseline", baseline)] if baseline else [])


def measure(program, args):
    """Peak resident MB and wall seconds of one run (/usr/bin/time -v)."""
    with open(os.path.join(writes, "stdout"), "wb") as sink:
        done = subprocess.run(["/usr/bin/time", "-v", program] + args, stdout=sink,
                              stderr=subprocess.PIPE)
    report = done.stderr.decode()
    kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): ([\d:.]+)", report)
    seconds = 0.0
    for part in clock.group(1).split(":"):
        seconds = seconds * 60 + float(part)
    return kb / 1024, seconds, done.returncode


print()
print("peak resident memory (MB) and wall time (s), one run each; 'mutated': a few changes"
      " of each kind, 'everywhere': two seeds of the generator")
print("%-10s %9s %-12s %-10s %10s %8s" % ("pair", "advances", "output", "checker", "peak MB",
                                           "time s"))
for size in sizes:
    for name, second in (("mutated", "mod"), ("everywhere", "other")):
        first = "%s/stress-%d.txt" % (out, size)
        other = "%s/stress-%d-%s.txt" % (out, size, second)
        html = os.path.join(writes, "diff.html")
        for output, args in (("--diff", []), ("--json", ["--json"]),
                             ("--html", ["--html", html])):
            for label, program in checkers:
                mb, seconds, code = measure(program, args + ["--diff", first, other])
                flag = "" if code == 0 else "  exit %d" % code
                print("%-10s %9d %-12s %-10s %10.1f %8.2f%s" % (name, size, output, label, mb,
                                                                 seconds, flag))
        if os.path.exists(html):
            os.remove(html)

# The largest pair that differs everywhere under a limit of address space.
size = max(sizes)
first, other = "%s/stress-%d.txt" % (out, size), "%s/stress-%d-other.txt" % (out, size)
print()
for limit in (2097152, 1048576):
    for label, program in checkers:
        done = subprocess.run(["sh", "-c", 'ulimit -v %d && exec "$0" "$@"' % limit, program,
                               "--json", "--diff", first, other], stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE)
        message = done.stderr.decode().strip().splitlines()
        print("ulimit -v %d, %s, --json --diff of %d advances: exit %d, %s" % (
            limit, label, size, done.returncode, message[-1] if message else "nothing on stderr"))
PY
rm -f "$WRITES"/stdout "$WRITES"/diff.html
echo "bench-diff: load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
