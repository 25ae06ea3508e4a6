#!/usr/bin/env python3
"""Runs one command line of the checker with one allocation failing, at
places from the first allocation on (in steps that grow by half, so that a
case is a few seconds), and checks how each run ends.

  no_memory.py --list
  no_memory.py CASE FAILING CHECKER

FAILING is the checker built with tests/check/FailingAlloc.cpp: the
environment's LORVANE_FAIL_NEW=N fails the allocation through operator new
after the first N, LORVANE_FAIL_RECORD=N the load's record after the first
N. CHECKER, the checker itself, gives what a run without a failure gives.
Each run is in a fresh folder holding the case's files; an export's target
holds "old" beforehand. A run either ends as memory running out ends it
(exit 6, "lorvane-check: out of memory" alone on standard error, standard
output a beginning of the whole run's, every file as it was and no other
left behind) or, where the failure came after the last allocation, is the
whole run: exit code, both streams and every file the same. The steps end
two after the first of those.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "fixtures")
DATA = os.path.join(HERE, "..", "..", "data")
NO_MEMORY = 6
MESSAGE = b"lorvane-check: out of memory\n"
SAMPLE = ["RULES.TXT", "RULES-MOD.TXT"]

# name: (what fails: "new" or "record", arguments, the files an export
# writes, each holding "old" before the run)
CASES = {
    "report": ("new", ["small.txt"], []),
    "json-warnings": ("new", ["--json", "warnings.txt"], []),
    "units-csv": ("new", ["--units", "--csv", "small.txt"], []),
    "route-json": ("new", ["--json", "--route", "Hrb", "small.txt"], []),
    "exports": ("new", ["--svg", "out.svg", "--html", "out.html", "small.txt"], ["out.html"]),
    "svg-standard-output": ("new", ["--svg", "-", "small.txt"], []),
    "diff": ("new", ["--diff"] + SAMPLE, []),
    "diff-json": ("new", ["--json", "--diff"] + SAMPLE, []),
    "diff-html": ("new", ["--html", "out.html", "--diff"] + SAMPLE, ["out.html"]),
    "records-report": ("record", ["warnings.txt"], []),
    "records-svg": ("record", ["--svg", "out.svg", "small.txt"], ["out.svg"]),
    "records-diff": ("record", ["--json", "--diff"] + SAMPLE, []),
}


def source(name):
    in_fixtures = os.path.join(FIXTURES, name)
    return in_fixtures if os.path.exists(in_fixtures) else os.path.join(DATA, name)


def run(program, args, targets, env=None):
    """One run in a fresh folder: exit code, both streams and the folder's
    files by name."""
    folder = tempfile.mkdtemp(prefix="no-memory-")
    try:
        for name in args:
            if name in os.listdir(FIXTURES) or name in SAMPLE:
                shutil.copy(source(name), os.path.join(folder, name))
        for name in targets:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"old\n")
        before = files(folder)
        done = subprocess.run([program] + args, cwd=folder, capture_output=True, timeout=120,
                              env=dict(os.environ, **(env or {})))
        return done.returncode, done.stdout, done.stderr, before, files(folder)
    finally:
        shutil.rmtree(folder)


def files(folder):
    found = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            found[name] = f.read()
    return found


def steps():
    n = 0
    while True:
        yield n
        n = max(n + 1, n * 3 // 2)


def main():
    if sys.argv[1:] == ["--list"]:
        print(";".join(CASES))
        return
    case = sys.argv[1]
    failing, checker = (os.path.abspath(p) for p in sys.argv[2:4])
    what, args, targets = CASES[case]
    variable = "LORVANE_FAIL_NEW" if what == "new" else "LORVANE_FAIL_RECORD"
    whole = run(checker, args, targets)
    if whole[0] != 0:
        sys.exit("FAIL %s: the checker's own run ends with %d: %r" % (case, whole[0], whole[2]))
    ran = failed = 0
    left = None
    for n in steps():
        # What a run that ran out of memory leaves unfreed goes with the
        # process; the JSON library's lists of members leak when a member
        # fails.
        env = {variable: str(n),
               "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"}
        code, out, err, before, after = run(failing, args, targets, env)
        ran += 1
        where = "%s=%d" % (variable, n)
        if code == NO_MEMORY:
            failed += 1
            if err != MESSAGE:
                sys.exit("FAIL %s, %s: standard error %r" % (case, where, err))
            if not whole[1].startswith(out):
                sys.exit("FAIL %s, %s: standard output is not a beginning of the run's" %
                         (case, where))
            if after != before:
                sys.exit("FAIL %s, %s: files %s afterwards, not %s" %
                         (case, where, sorted(after), sorted(before)))
            if left is not None:
                sys.exit("FAIL %s, %s: memory runs out after a whole run at %d" %
                         (case, where, left))
            continue
        if (code, out, err, after) != (whole[0], whole[1], whole[2], whole[4]):
            sys.exit("FAIL %s, %s: exit %d, standard error %r, not the run's" %
                     (case, where, code, err[-300:]))
        if left is None:
            left = n
            past = 0
        past += 1
        if past > 2:
            break
    if failed == 0:
        sys.exit("FAIL %s: no run ran out of memory" % case)
    print("%s: %d runs, %d out of memory, whole from %s=%d" % (case, ran, failed, variable, left))


if __name__ == "__main__":
    main()
