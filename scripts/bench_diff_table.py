#!/usr/bin/env python3
"""The --diff benchmark's table (scripts/bench-diff.sh): hyperfine's medians of --diff, as
text and as JSON, against --json of the larger file of each pair.

  bench_diff_table.py OUT SIZE...
"""
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
