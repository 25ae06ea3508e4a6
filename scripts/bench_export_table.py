#!/usr/bin/env python3
"""The export benchmark's table (scripts/bench-export.sh): hyperfine's medians of
lorvane-check --svg, static and shared, against dot -Tsvg on the same graphs.

  bench_export_table.py OUT GRAPH...
"""
import json
import sys

out, graphs = sys.argv[1], sys.argv[2:]
print("%-12s %9s %6s | %13s %13s %11s | %9s %9s" % (
    "graph", "advances", "links", "check static", "check shared", "dot -Tsvg",
    "ratio st.", "ratio sh."))
runs = []
for graph in graphs:
    checker = json.load(open("%s/%s-checker.json" % (out, graph)))["results"]
    dot = json.load(open("%s/%s-dot.json" % (out, graph)))["results"][0]
    lines = open("%s/%s.dot" % (out, graph)).read().splitlines()
    advances = sum(1 for line in lines if "[label=" in line)
    links = sum(1 for line in lines if "->" in line)
    static, shared = (r["median"] for r in checker)
    runs.append("%s: checker %d, dot %d" % (graph, len(checker[0]["times"]), len(dot["times"])))
    print("%-12s %9d %6d | %10.2f ms %10.2f ms %8.0f ms | %8.0fx %8.0fx" % (
        graph, advances, links, static * 1e3, shared * 1e3, dot["median"] * 1e3,
        dot["median"] / static, dot["median"] / shared))
print("medians of runs (%s)" % "; ".join(runs))
