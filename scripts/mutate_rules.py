#!/usr/bin/env python3
"""Writes a modified copy of a generated rules file, for --diff benchmarks.

Every kind of change that lorvane-check --diff reports, a few of each:
prerequisites cut to "nil" (which moves levels and routes below them),
fields, names and a code changed (its dependants following it), advances
removed and added, unit types added, removed, moved and changed. The copy loads
as its original does (a removed advance's dependants lose that link and
stand on level 0). Seeded: the output depends only on the arguments.

Usage: mutate_rules.py IN OUT [--changes 5] [--seed 3]
"""
import argparse
import random


def split_advance(line):
    body, _, code = line.partition(";")
    return [f.strip() for f in body.split(",")], code.strip()


def join_advance(fields, code):
    return "%s ; %s\n" % (", ".join(fields), code)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("input")
    ap.add_argument("output")
    ap.add_argument("--changes", type=int, default=5)
    ap.add_argument("--seed", type=int, default=3)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    lines = open(a.input, encoding="latin-1").readlines()
    start = lines.index("@CIVILIZE\n") + 1
    end = lines.index("@IMPROVE\n")
    units_start = lines.index("@UNITS\n") + 1
    units_end = lines.index("@TERRAIN\n")
    advances = [i for i in range(start, end) if not lines[i].startswith(";")]
    units = [i for i in range(units_start, units_end) if not lines[i].startswith(";")]
    codes = {split_advance(lines[i])[1] for i in advances}
    n = a.changes
    picked = rng.sample(advances, 5 * n + 1)
    cut, fields, named, removed = (picked[k * n:(k + 1) * n] for k in range(4))
    recoded = picked[4 * n]
    for i in cut:
        f, code = split_advance(lines[i])
        f[4] = "nil"
        lines[i] = join_advance(f, code)
    for i in fields:
        f, code = split_advance(lines[i])
        f[1] = str(int(f[1]) + 1)
        f[6] = str((int(f[6]) + 1) % 5)
        lines[i] = join_advance(f, code)
    for i in named:
        f, code = split_advance(lines[i])
        f[0] = "Renamed " + code
        lines[i] = join_advance(f, code)
    # A new code, and every prerequisite that named the old one follows it.
    f, old = split_advance(lines[recoded])
    new = next(c for c in ("Zz%d" % d for d in range(10)) if c not in codes)
    lines[recoded] = join_advance(f, new)
    for i in advances:
        f, code = split_advance(lines[i])
        if old in (f[3], f[4]):
            f[3:5] = [new if p == old else p for p in f[3:5]]
            lines[i] = join_advance(f, code)
    # Added advances need only advances of the first lines, low in the tree
    # (the first of them has the most dependants that an advance may have).
    early = [split_advance(lines[i])[1] for i in advances[1:50]]
    free = [c for c in ("Ad%d" % d for d in range(100)) if c not in codes and c != new]
    added = ["Added Advance %d, 3, 0, %s, %s, 0, 1 ; %s\n" % (
        k, rng.choice(early), rng.choice(early), free[k]) for k in range(min(n, len(free)))]
    unit_picks = rng.sample(units, 3 * n)
    for k, i in enumerate(unit_picks):
        f = [x.strip() for x in lines[i].split(",")]
        if k < n:
            lines[i] = ""
        elif k < 2 * n:
            f[12] = rng.choice(early)
            lines[i] = ", ".join(f) + "\n"
        else:
            f[5] = str(int(f[5]) + 1)
            lines[i] = ", ".join(f) + "\n"
    for i in removed:
        lines[i] = ""
    lines[end] = "".join(added) + lines[end]
    lines[units_end] = "".join(
        "Added Unit %d, nil, 0, 1, 0, 2, 2, 10, 1, 3, 0, 1, %s, 000000000000000\n" % (
            k, rng.choice(early)) for k in range(n)) + lines[units_end]
    with open(a.output, "w", encoding="latin-1", newline="\n") as out:
        out.writelines(lines)


if __name__ == "__main__":
    main()
