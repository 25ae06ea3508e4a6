#!/usr/bin/env python3
"""The --diff benchmark's memory table (scripts/bench-diff.sh): the peak resident set and the
wall time of --diff, --json --diff and --html --diff (/usr/bin/time -v, one run each) by this
checker and the baseline's, then --json --diff of the largest pair that differs everywhere
under limits of address space (ulimit -v).

  bench_diff_memory.py OUT WRITES CHECKER BASELINE SIZE...

OUT holds the pairs (stress-SIZE.txt, -mod.txt, -other.txt), WRITES the outputs; BASELINE
empty for none.
"""
import os
import re
import subprocess
import sys

out, writes, checker, baseline = sys.argv[1:5]
sizes = [int(s) for s in sys.argv[5:]]
checkers = [("new", checker)] + ([("baseline", baseline)] if baseline else [])


def measure(program, args):
    """Peak resident MB, wall seconds and exit code of one run (/usr/bin/time -v)."""
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
print("%-10s %9s %-8s %-10s %10s %8s" % ("pair", "advances", "output", "checker", "peak MB",
                                         "time s"))
html = os.path.join(writes, "diff.html")
for size in sizes:
    for name, second in (("mutated", "mod"), ("everywhere", "other")):
        first = "%s/stress-%d.txt" % (out, size)
        other = "%s/stress-%d-%s.txt" % (out, size, second)
        for output, args in (("--diff", []), ("--json", ["--json"]),
                             ("--html", ["--html", html])):
            for label, program in checkers:
                mb, seconds, code = measure(program, args + ["--diff", first, other])
                flag = "" if code == 0 else "  exit %d" % code
                print("%-10s %9d %-8s %-10s %10.1f %8.2f%s" % (name, size, output, label, mb,
                                                               seconds, flag))
        if os.path.exists(html):
            os.remove(html)

# The largest pair that differs everywhere under a limit of address space:
# a run succeeds or ends with "out of memory" (exit 6).
size = max(sizes)
first, other = "%s/stress-%d.txt" % (out, size), "%s/stress-%d-other.txt" % (out, size)
print()
for limit in (2097152, 1048576):
    for output, args in (("--json", ["--json"]), ("--html", ["--html", html])):
        for label, program in checkers:
            done = subprocess.run(["sh", "-c", 'ulimit -v %d && exec "$0" "$@"' % limit, program]
                                  + args + ["--diff", first, other], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.PIPE)
            message = done.stderr.decode().strip().splitlines()
            print("ulimit -v %d, %-8s %s --diff of %d advances: exit %d, %s" % (
                limit, label + ",", output, size, done.returncode,
                message[-1] if message else "nothing on stderr"))
            if os.path.exists(html):
                os.remove(html)
