#!/usr/bin/env python3
"""The checker's benchmark runs (scripts/bench-check.sh): each output of lorvane-check on
generated files of each size, timed (wall and CPU) and measured by /usr/bin/time, then the
table of medians, peaks and growth.

  bench_check.py CHECKER OUT WRITES RUNS SIZE...
"""
import statistics
import subprocess
import sys
import time

checker, out, writes, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
sizes = [int(s) for s in sys.argv[5:]]


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
