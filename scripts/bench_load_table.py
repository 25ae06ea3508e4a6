#!/usr/bin/env python3
"""The load benchmark's table (scripts/bench-load.sh): the medians of Google Benchmark's JSON
results, load against the bare line reading, step by step.

  bench_load_table.py RESULTS.json
"""
import json
import sys

runs = json.load(open(sys.argv[1]))["benchmarks"]
med = {}
for r in runs:
    if r.get("aggregate_name") == "median":
        med[r["run_name"]] = r
files = []
for r in runs:
    kind, _, label = r["run_name"].partition("/")
    if kind == "Load" and label not in files:
        files.append(label)

def us(run):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
    return run["cpu_time"] * scale

print("Median of %d repetitions, CPU microseconds per load (steadier than real time on a"
      " shared machine)." % runs[0].get("repetitions", 1))
print("Load = LoadRules (open, both sections, parse, link, levels), reset untimed;")
print("ReadLines = fopen + fgets loop + fclose on the same file.")
print("Steps columns: the same load timed step by step with a steady clock, median per step")
print("(reset timed as its own step); passes = AssignLevels passes, lookups = FindAdvance calls.")
print()
head = ("file", "ReadLines", "Load", "ratio", "read", "parseAdv", "parseUnits", "link",
        "levels", "reset", "passes", "lookups")
print("%-20s %9s %9s %7s | %7s %8s %10s %8s %7s %7s | %6s %9s" % head)
loads = {}
for label in files:
    base = med.get("ReadLines/" + label)
    load = med.get("Load/" + label)
    steps = med.get("Steps/" + label, {})
    if base is None or load is None:
        print("%-20s (missing)" % label)
        continue
    loads[label] = us(load)
    print("%-20s %9.1f %9.1f %6.1fx | %7.1f %8.1f %10.1f %8.1f %7.1f %7.1f | %6d %9d" % (
        label, us(base), us(load), us(load) / us(base),
        steps.get("read_us", 0), steps.get("parseAdv_us", 0), steps.get("parseUnits_us", 0),
        steps.get("link_us", 0), steps.get("levels_us", 0), steps.get("reset_us", 0),
        steps.get("levelPasses", 0), steps.get("lookups", 0)))
print()
for order in ("forward", "reverse"):
    a, b = loads.get("stress-250-" + order), loads.get("stress-1000-" + order)
    if a and b:
        print("%s: 250 -> 1000 advances (x4) costs x%.1f" % (order, b / a))
if "sample" in loads:
    base = us(med["ReadLines/sample"])
    print("sample: load %.1fx the bare line reading (target at most 3x)" % (loads["sample"] / base))
