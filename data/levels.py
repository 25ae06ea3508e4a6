#!/usr/bin/env python3
"""Quick sanity figures for a rules file: advance and unit counts, the level
of each advance (longest chain from "nil"), the widest level, and the
mistakes that would make a poor sample (bad codes, unknown prerequisites,
roles outside the role table, obsolete-by codes that are not later).

Usage: levels.py [RULES.TXT] [-v]
"""
import sys
from collections import Counter, defaultdict

ROLES = {0: {0, 1, 3, 5, 6, 7}, 1: {0, 3}, 2: {2, 4}}


def section(lines, start, stop):
    it = iter(lines)
    for line in it:
        if line == start + "\n":
            break
    else:
        sys.exit('no "%s" line' % start)
    out = []
    for line in it:
        if line == stop + "\n":
            return out, it
        if line.startswith(";") or not line.strip():
            continue
        out.append(line.rstrip())
    sys.exit('no "%s" line' % stop)


def main():
    args = [a for a in sys.argv[1:] if a != "-v"]
    verbose = "-v" in sys.argv[1:]
    path = args[0] if args else "data/RULES.TXT"
    with open(path, newline="") as f:
        text = f.read()
    problems = []
    if "\r" in text:
        problems.append("carriage returns in the file")
    lines = text.splitlines(keepends=True)
    adv_lines, _ = section(lines, "@CIVILIZE", "@IMPROVE")
    rest = lines[lines.index("@IMPROVE\n") + 1:]
    unit_lines, _ = section(rest, "@UNITS", "@TERRAIN")

    adv = {}
    order = []
    for line in adv_lines:
        head, code = line.split(";", 1)
        f = [x.strip() for x in head.split(",")]
        code = code.strip()[:3]
        if len(f) != 7:
            problems.append("advance line with %d fields: %s" % (len(f), line))
            continue
        if len(code) != 3 or code == "nil" or code in adv:
            problems.append("bad or duplicate code %r" % code)
        if len(f[0]) > 19:
            problems.append("name longer than 19: %s" % f[0])
        if not (0 <= int(f[5]) <= 3 and 0 <= int(f[6]) <= 4):
            problems.append("epoch/category out of range: %s" % line)
        adv[code] = f
        order.append(code)

    level = {"nil": 0}

    def lev(code, depth=0):
        if code in level:
            return level[code]
        if code not in adv or depth > 200:
            problems.append("unknown prerequisite or cycle at %r" % code)
            level[code] = 0
            return 0
        f = adv[code]
        level[code] = 1 + max(lev(f[3], depth + 1), lev(f[4], depth + 1))
        return level[code]

    for c in order:
        lev(c)
    dependants = Counter()
    for c in order:
        for p in {adv[c][3], adv[c][4]}:
            dependants[p] += 1
    by_level = defaultdict(list)
    for c in order:
        by_level[level[c]].append(c)

    per_adv = Counter()
    domains = Counter()
    for line in unit_lines:
        f = [x.strip() for x in line.split(",")]
        if len(f) != 14:
            problems.append("unit line with %d fields: %s" % (len(f), line))
            continue
        name, obs, dom, role, hold, pre, flags = f[0], f[1], int(f[2]), int(f[11]), int(f[10]), f[12], f[13]
        if len(name) > 19:
            problems.append("unit name longer than 19: %s" % name)
        if role not in ROLES.get(dom, ()):
            problems.append("role %d outside domain %d: %s" % (role, dom, name))
        if (role == 4) != (1 <= hold <= 8):
            problems.append("hold %d with role %d: %s" % (hold, role, name))
        if len(flags) != 15 or set(flags) - {"0", "1"}:
            problems.append("flags not 15 binary digits: %s" % name)
        if pre not in level:
            problems.append("unit prerequisite %r names nothing: %s" % (pre, name))
        elif obs != "nil" and level.get(obs, -1) <= level[pre]:
            problems.append("obsolete-by %r not a later advance: %s" % (obs, name))
        per_adv[pre] += 1
        domains[dom] += 1

    max_level = max(level.values())
    widest = max(len(v) for v in by_level.values())
    print("advances %d, units %d (land %d, air %d, sea %d)" % (
        len(order), sum(domains.values()), domains[0], domains[1], domains[2]))
    print("MaxLevel %d, widest level %d advances (root level 0 holds %d)" % (
        max_level, widest, 1 + len(by_level.get(0, []))))
    print("most dependants: %s" % ", ".join("%s %d" % kv for kv in dependants.most_common(3)))
    print("most units under one advance: %s" % ", ".join("%s %d" % kv for kv in per_adv.most_common(3)))
    if verbose:
        for L in sorted(by_level):
            print("  %2d %2d  %s" % (L, len(by_level[L]), " ".join(by_level[L])))
    for p in problems:
        print("PROBLEM:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
