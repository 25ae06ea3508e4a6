#!/usr/bin/env bash
# The checker's benchmark (figures, not a test):
#
#   bash scripts/bench-check.sh
#
# A Release build of lorvane-check (build/bench-check) runs as a whole
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

. scripts/quiet-cmake.sh
lorvane_configure "$OUT/configure.log" -S . -B "$OUT" -DCMAKE_BUILD_TYPE=Release \
  -DLORVANE_TESTS=OFF || exit 1
lorvane_build "$OUT/build.log" "$OUT" -j"$JOBS" --target lorvane-check || exit 1
for size in $SIZES; do
  [ -s "$OUT/stress-$size.txt" ] ||
    python3 scripts/gen_stress.py --advances "$size" -o "$OUT/stress-$size.txt"
done

python3 - "$OUT" "$WRITES" "$RUNS" $SIZES <<'PY'
import statistics
import subprocess
import sys
import time

out, writes, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
sizes = [int(s) for s in sys.argv[4:]]
checker = out + "/check/lorvane-check"


def deepest_code(path):
    """The code of the last advance line: gen_stress.py lists the rows in
    order, so it stands on the deepest level."""
    code = None
    with open(path, encoding="latin-1") as f:
        inside = False
        for line in f:
            if line.startswith("@CIVILIZE"):
                inside = True
            elif line.startswith("@"):
                inside = False
            elif inside and ";" in line and not line.startswith(";"):
                code = line.rsplit(";", 1)[1].strip()
    return code


def measure(args, stdout_path):
    """Wall seconds and peak resident kilobytes of one run."""
    with open(stdout_path, "wb") as sink:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", checker] + args, stdout=sink,
                              stderr=subprocess.PIPE, check=True)
        seconds = time.perf_counter() - start
    kb, user, system = done.stderr.decode().strip().splitlines()[-1].split()
    return seconds, int(kb), float(user) + float(system)


table = {}
for size in sizes:
    rules = "%s/stress-%d.txt" % (out, size)
    modes = {
        "--json": ["--json", rules],
        "text": [rules],
        "--svg": ["--svg", "%s/%d.svg" % (writes, size), rules],
        "--html": ["--html", "%s/%d.html" % (writes, size), rules],
        "--route": ["--json", "--route", deepest_code(rules), rules],
    }
    count = runs if size < 100000 else max(3, runs // 2)
    for mode, args in modes.items():
        results = [measure(args, "%s/stdout" % writes) for _ in range(count)]
        table[size, mode] = (statistics.median(r[0] for r in results), max(r[1] for r in results),
                             statistics.median(r[2] for r in results), min(r[0] for r in results))

# Wall time is what a user waits; on a machine that other work keeps busy
# the fastest run and the CPU time (user and system) say more.
print("%-8s %9s %10s %10s %10s %10s %12s" % ("output", "advances", "median s", "fastest s",
                                              "CPU s", "peak MB", "KB/advance"))
for mode in ("--json", "text", "--svg", "--html", "--route"):
    for size in sizes:
        seconds, kb, cpu, fastest = table[size, mode]
        print("%-8s %9d %10.3f %10.3f %10.2f %10.1f %12.2f" % (mode, size, seconds, fastest, cpu,
                                                             kb / 1024, kb / size))
if 10000 in sizes and 100000 in sizes:
    print()
    print("growth from 10,000 to 100,000 advances, medians and fastest runs (linear: 10x;"
          " the limit 12x)")
    for mode in ("--json", "text", "--svg", "--html", "--route"):
        small, large = table[10000, mode], table[100000, mode]
        print("  %-8s %6.1fx %6.1fx" % (mode, large[0] / small[0], large[3] / small[3]))
    json_s, svg_s = table[100000, "--json"][0], table[100000, "--svg"][0]
    print("--json against --svg on 100,000 advances: %.2fx (the limit 2x)" % (json_s / svg_s))
PY
rm -f "$WRITES"/*.svg "$WRITES"/*.html "$WRITES"/stdout
