#!/usr/bin/env python3
"""Writes a large rules file for load benchmarks and stress tests.

The file holds N advances spread over levels 1 to --levels (99 by default,
the deepest chain the viewer accepts; level 1 holds no more than the root
can take), unique codes, no advance with more than
--max-dependants direct dependants ("nil" included; one advance on level 1
has exactly that many), and as many unit lines
as advances. "forward" lists every advance after its prerequisites (one
level pass settles it); "reverse" lists them the other way round, so that
each level pass raises the chain by only one level (the most passes).

With --faulty-units N, N more unit lines follow, each with seven faults
the checker warns about (six numbers that are not plain, a prerequisite
that names no advance): the same chart, 7 N warnings, and those units in
the units table only.

The output depends only on the arguments: the generator uses its own seeded
random source.

Usage: gen_stress.py --advances 1000 --order reverse [--faulty-units N] -o FILE
"""
import argparse
import random
import sys

FIRST = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
OTHER = FIRST + "0123456789"
# Domain -> roles that the role table names, with the hold a role needs.
ROLES = {0: [0, 1, 3, 5, 6, 7], 1: [0, 3], 2: [2, 4]}


def make_codes(rng, count):
    space = len(FIRST) * len(OTHER) * len(OTHER)
    codes = []
    for n in rng.sample(range(space), count + 1):
        code = FIRST[n // (len(OTHER) ** 2)] + OTHER[n // len(OTHER) % len(OTHER)] + OTHER[n % len(OTHER)]
        if code != "nil":
            codes.append(code)
    return codes[:count]


def build(advances, levels, max_dependants, seed):
    if advances < levels:
        sys.exit("need at least as many advances as levels (%d)" % levels)
    rng = random.Random(seed)
    codes = make_codes(rng, advances)
    # One chain reaches the deepest level; the rest are spread evenly.
    level_of = list(range(1, levels + 1))
    level_of += [1 + i % levels for i in range(advances - levels)]
    # Level 1 hangs under the root, which takes max_dependants at most: the
    # rest of a large file's first row goes to the rows below it.
    first_row = spill = 0
    for i, L in enumerate(level_of):
        if L != 1 or levels == 1:
            continue
        first_row += 1
        if first_row > max_dependants:
            level_of[i] = 2 + spill % (levels - 1)
            spill += 1
    by_level = {L: [] for L in range(0, levels + 1)}
    by_level[0].append("nil")
    records = []
    for i, (code, L) in enumerate(zip(codes, level_of)):
        records.append({"code": code, "level": L, "index": i})
    spine = records[:levels]
    rest = records[levels:]
    rng.shuffle(rest)
    dependants = {"nil": 0}
    below = []  # every code of a lower level, for the second prerequisite

    def take(pool, fallback):
        for _ in range(20):
            code = rng.choice(pool)
            if dependants[code] < max_dependants:
                return code
        for code in fallback:
            if dependants[code] < max_dependants:
                return code
        sys.exit("no prerequisite left with room for another dependant")

    # Build level by level, so every prerequisite exists before it is named.
    per_level = {L: [] for L in range(1, levels + 1)}
    for r in spine:
        per_level[r["level"]].append(r)
    for r in rest:
        per_level[r["level"]].append(r)
    # One hub on level 1 gets as many dependants as allowed, the edge of
    # the dependants table.
    hub = spine[0]["code"]
    upper = [r["code"] for r in records if r["level"] >= 2]
    to_hub = set(rng.sample(upper, min(max_dependants, len(upper))))
    ordered = []
    for L in range(1, levels + 1):
        placed = []
        for r in per_level[L]:
            if L == 1:
                p1, p2 = "nil", "nil"
            else:
                p1 = take(by_level[L - 1], by_level[L - 1])
                if r["code"] in to_hub and dependants[hub] < max_dependants:
                    p2 = hub
                else:
                    p2 = take(below, below)
            r["p1"], r["p2"] = p1, p2
            for p in {p1, p2}:
                dependants[p] += 1
            placed.append(r["code"])
            ordered.append(r)
        for code in placed:
            dependants[code] = 0
            by_level[L].append(code)
        below.extend(by_level[L - 1] if L > 1 else [])
        if L == 1:
            below.extend(placed)
    if dependants["nil"] > max_dependants:
        sys.exit("too many advances on level 1 for the root")
    for i, r in enumerate(ordered):
        # 19 characters, the longest name; past 9,999 a shorter word keeps
        # every number whole.
        r["name"] = "Stress Advance %04d" % i if i < 10000 else "Stress Adv %08d" % i
        r["ai"] = rng.randint(1, 8)
        r["mod"] = rng.randint(-2, 2)
        r["epoch"] = min(3, (r["level"] - 1) * 4 // levels)
        r["category"] = rng.randint(0, 4)
    units = []
    under = {}
    for i in range(advances):
        while True:
            prereq = rng.choice(ordered)["code"] if rng.random() > 0.01 else "nil"
            if under.get(prereq, 0) < 8:
                break
        under[prereq] = under.get(prereq, 0) + 1
        domain = rng.choice([0, 0, 0, 1, 2])
        role = rng.choice(ROLES[domain])
        flags = "".join("1" if rng.random() < 0.1 else "0" for _ in range(15))
        units.append({
            "name": "Stress Unit %04d" % i,
            "obsolete": "nil",
            "domain": domain,
            "move": rng.randint(1, 16) if domain == 1 else rng.randint(1, 6),
            "range": rng.randint(1, 2) if domain == 1 else 0,
            "attack": rng.randint(0, 12),
            "defense": rng.randint(0, 12),
            "hp": rng.choice([10, 20, 30, 40]),
            "fp": rng.randint(1, 3),
            "cost": rng.randint(1, 16),
            "hold": rng.randint(1, 8) if role == 4 else 0,
            "role": role,
            "prereq": prereq,
            "flags": flags,
        })
    return ordered, units


def write(out, ordered, units, order, seed, faulty=0):
    w = out.write
    w("; Stress rules file, generated by gen_stress.py (%d advances, %s order, seed %d).\n"
      % (len(ordered), order, seed))
    w("@COSMIC\n3 ; road movement\n1 ; famine turns\n\n@CIVILIZE\n")
    w("; Name, AI value, modifier, prerequisite 1, prerequisite 2, epoch, category ; code\n")
    listed = ordered if order == "forward" else list(reversed(ordered))
    for r in listed:
        w("%s, %d, %d, %s, %s, %d, %d ; %s\n" % (
            r["name"], r["ai"], r["mod"], r["p1"], r["p2"], r["epoch"], r["category"], r["code"]))
    w("@IMPROVE\nPalace, 10, 0, nil\n@ENDWONDER\n@UNITS\n")
    w("; Name, obsolete, domain, move, range, attack, defense, hit points, firepower,"
      " cost, hold, role, prerequisite, flags\n")
    for u in units:
        w("%s, %s, %d, %d, %d, %d, %d, %d, %d, %d, %d, %d, %s, %s\n" % (
            u["name"], u["obsolete"], u["domain"], u["move"], u["range"], u["attack"],
            u["defense"], u["hp"], u["fp"], u["cost"], u["hold"], u["role"], u["prereq"],
            u["flags"]))
    for i in range(faulty):
        w("Faulty Unit %06d, nil, 0, 1x, 0x, 1x, 1x, 10x, 1x, 1, 0, 0, Zz%d, 0\n" % (i, i % 10))
    w("@TERRAIN\nPlains, 1, 2, 1, 1, 0\n@GOVERN\nChiefdom, Chief, Chieftess\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--advances", type=int, default=1000)
    ap.add_argument("--order", choices=["forward", "reverse"], default="forward")
    ap.add_argument("--levels", type=int, default=99)
    ap.add_argument("--max-dependants", type=int, default=100)
    ap.add_argument("--seed", type=int, default=2)
    ap.add_argument("--faulty-units", type=int, default=0)
    ap.add_argument("-o", "--output", default="-")
    a = ap.parse_args()
    ordered, units = build(a.advances, a.levels, a.max_dependants, a.seed)
    if a.output == "-":
        write(sys.stdout, ordered, units, a.order, a.seed, a.faulty_units)
    else:
        with open(a.output, "w", newline="\n") as out:
            write(out, ordered, units, a.order, a.seed, a.faulty_units)


if __name__ == "__main__":
    main()
