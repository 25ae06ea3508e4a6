#!/usr/bin/env python3
"""Writes the research tree of a lorvane-check JSON report as a Graphviz DOT
graph: one box per advance (its name, code and units), one edge from each
prerequisite to its dependant, for comparing chart exports with `dot`.

  lorvane-check --json RULES.TXT | json_to_dot.py > tree.dot
"""
import json
import sys


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    report = json.load(sys.stdin)
    advances, units = report["advances"], report["units"]
    out = ["digraph tree {", "  node [shape=box, fontname=sans, fontsize=9];"]
    for i, a in enumerate(advances):
        lines = ["%s [%s]" % (a["name"], a["code"])] + [units[u]["name"] for u in a["units"]]
        out.append("  a%d [label=%s];" % (i, quoted("\n".join(lines))))
    for i, a in enumerate(advances):
        for p in dict.fromkeys(p for p in (a["prereq1"], a["prereq2"]) if p is not None):
            out.append("  a%d -> a%d;" % (p, i))
    out.append("}")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
