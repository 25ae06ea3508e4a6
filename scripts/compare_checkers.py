#!/usr/bin/env python3
"""Runs the same command lines through two checkers and compares them byte
for byte: a change meant to keep the checker's behaviour (a move, a
rename, a table made of an if-chain) must change no output.

  compare_checkers.py [--only commands|manifest|sample|stress] [--page-moved] BEFORE AFTER

Each command line runs twice in the same scratch folder, made afresh with
the same files for each checker: the exit code, standard output, standard
error and every file the folder holds afterwards (its bytes, mode and
owner, or what it is: a folder, a link and its target, a FIFO and what its
reader got, a device) must be the same. The command lines:

- every row of tests/check/commands.tsv that runs natively (root and user
  rows where this runs as root), prepared as run_command.py prepares them,
  signals and injected faults included;
- every case of tests/hostile/cases.tsv, in the staged corpus: the text
  report, --json --metrics 11,13,0, --units --csv, --html -, --diff against
  the sample and --json --diff against itself;
- the sample and its modified copy (data/RULES.TXT, data/RULES-MOD.TXT)
  and the report fixtures through every output (SAMPLE_LINES below);
- generated files (scripts/gen_stress.py, 2,000 advances, one with 300
  faulty unit lines; their mutation, scripts/mutate_rules.py; another
  seed's) through every output and --diff (STRESS_LINES below): outputs
  of many blocks, as the checker writes a large one.

With --page-moved, a change to the page's own scripts and its help is
expected: in every page written (standard output or a file), the scripts'
texts, their hashes in the policy and the legend's help of the keys are
left out of the comparison, and the rest of it must still be the same.

Prints each difference, then the count of command lines compared; exits 1
when any differs.
"""
import difflib
import os
import re
import resource
import shutil
import signal
import stat
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "check"))
sys.path.insert(0, os.path.join(ROOT, "tests", "hostile"))
import run_command  # noqa: E402
import run_case  # noqa: E402

CPU_SECONDS = 120
TIMEOUT = 300

# The sample, the pair and the fixtures through every output; run in a
# folder holding data/ and tests/check/fixtures/ as the repository does.
S, M = "data/RULES.TXT", "data/RULES-MOD.TXT"
F = "tests/check/fixtures/"
SAMPLE_LINES = [
    [S], ["--json", S], ["--json", "--metrics", "11,13,0", S], ["--metrics", "9,12,2", S],
    ["--werror", S], ["--svg", "-", S], ["--html", "-", S],
    ["--html", "-", "--title", "Lorvane sample rules", S], ["--metrics", "7,9,1", "--svg", "-", S],
    ["--svg", "out.svg", "--html", "out.html", S],
    ["--units", S], ["--units", "--json", S], ["--units", "--csv", S],
    ["--route", "Cmp", S], ["--json", "--route", "Cmp", S], ["--route", "Jet,Fis", S],
    ["--json", "--route", "Jet,Fis", S], ["--route", "cmp", S], ["--route", "Nope", S],
    ["--route", "Cmp", "--have", "Prn,Gui,Nav,Uni,Civ", S],
    ["--json", "--route", "Cmp", "--have", "Prn,Gui,Nav,Uni,Civ", S],
    ["--have", "Prn,Gui,Nav,Uni,Civ", S], ["--json", "--have", "Prn,Gui,Nav,Uni,Civ", S],
    ["--have", "nil", S], ["--route", "Cmp", "--svg", "-", "--have", "Prn", S],
    ["--diff", S, M], ["--json", "--diff", S, M], ["--diff", M, S], ["--json", "--diff", M, S],
    ["--diff", S, S], ["--diff", S, M, "--html", "-"], ["--diff", S, M, "--svg", "-"],
    ["--diff", S, M, "--html", "-", "--title", "A mod"], ["--werror", "--diff", S, M],
    ["--metrics", "9,12,2", "--diff", S, M], ["--json", "--metrics", "9,12,2", "--diff", S, M],
    ["--diff", S, F + "warnings.txt"], ["--json", "--diff", S, F + "warnings.txt"],
    ["--diff", F + "small.txt", F + "names.txt"], ["--json", "--diff", F + "names.txt", F + "small.txt"],
    ["--help"], ["--version"], [],
]
for fixture in ("small.txt", "warnings.txt", "names.txt"):
    SAMPLE_LINES += [[F + fixture], ["--json", F + fixture], ["--units", F + fixture],
                     ["--units", "--json", F + fixture], ["--units", "--csv", F + fixture],
                     ["--svg", "-", F + fixture], ["--html", "-", F + fixture],
                     ["--werror", F + fixture], ["--json", "--metrics", "11,13,0", F + fixture]]
# The generated files: A, its mutation B, another seed's C, and W with
# faulty units (7 warnings each).
STRESS_FILES = {
    "A.txt": ["--advances", "2000", "--max-dependants", "90"],
    "C.txt": ["--advances", "2000", "--max-dependants", "90", "--seed", "3"],
    "W.txt": ["--advances", "2000", "--faulty-units", "300"],
}
STRESS_LINES = [
    ["A.txt"], ["--json", "--metrics", "11,13,0", "W.txt"], ["W.txt"], ["--units", "--csv", "W.txt"],
    ["--units", "--json", "A.txt"], ["--svg", "-", "A.txt"], ["--html", "-", "W.txt"],
    ["--diff", "A.txt", "B.txt"], ["--json", "--diff", "A.txt", "B.txt"],
    ["--diff", "A.txt", "C.txt"], ["--json", "--diff", "A.txt", "C.txt"],
    ["--json", "--diff", "A.txt", "W.txt"], ["--diff", "C.txt", "W.txt"],
    ["--diff", "A.txt", "C.txt", "--html", "-"], ["--diff", "A.txt", "B.txt", "--svg", "-"],
    ["--diff", "A.txt", "C.txt", "--html", "out.html", "--svg", "out.svg"],
]
# The hostile corpus's files, each run in the staged corpus.
CASE_LINES = [[], ["--json", "--metrics", "11,13,0"], ["--units", "--csv"], ["--html", "-"],
              ["--diff", "SAMPLE"], ["--json", "--diff", "SELF"]]


PAGE_PARTS = [
    (re.compile(rb"<script>.*?</script>\n", re.S), b"<script/>\n"),
    (re.compile(rb"script-src [^;]*;"), b"script-src;"),
    (re.compile(rb"<dt>Keys</dt>.*?</dl>", re.S), b"<dt>Keys</dt></dl>"),
]


def without_page_scripts(data):
    if not data.startswith(b"<!DOCTYPE html>"):
        return data
    for pattern, replacement in PAGE_PARTS:
        data = pattern.sub(replacement, data)
    return data


def limit_cpu():
    resource.setrlimit(resource.RLIMIT_CPU, (CPU_SECONDS, CPU_SECONDS + 5))


def snapshot(folder, fifos=None):
    """What the folder holds: each name with its kind and content."""
    found = {}
    for name in sorted(run_command.tree(folder)):
        path = os.path.join(folder, name)
        info = os.lstat(path)
        mode = "%o:%d:%d" % (info.st_mode, info.st_uid, info.st_gid)
        if stat.S_ISLNK(info.st_mode):
            found[name] = ("link", os.readlink(path))
        elif stat.S_ISREG(info.st_mode):
            with open(path, "rb") as f:
                found[name] = (mode, f.read())
        elif stat.S_ISFIFO(info.st_mode) and fifos and name in fifos:
            fifos[name].join(10)
            found[name] = (mode, fifos[name].data)
        else:
            found[name] = (mode,)
    return found


def run_plain(argv, cwd, env=None):
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            code = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=TIMEOUT, preexec_fn=limit_cpu, env=env).returncode
        except subprocess.TimeoutExpired:
            code = "timeout"
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read()


def run_row(case, checker, folder):
    """One row of commands.tsv in a fresh folder, as run_command.run runs
    it; the outcome and what the folder holds after."""
    os.mkdir(folder)
    fifos = run_command.prepare(folder, case["files"])
    for fifo in fifos.values():
        fifo.start()
    code, out, err, _ = run_command.run_row(case, [checker], folder)
    result = ("timeout" if code is None else code, out, err)
    return result, snapshot(folder, fifos)


def show(value):
    if isinstance(value, bytes):
        return value.decode("latin-1").splitlines(True)
    return [repr(value) + "\n"]


class Comparer:
    def __init__(self, before, after, page_moved=False):
        self.before, self.after = before, after
        self.page_moved = page_moved
        self.compared = {}
        self.differences = []

    def same(self, group, label, first, second):
        self.compared[group] = self.compared.get(group, 0) + 1
        if self.page_moved:
            first, second = (self.pageless(r) for r in (first, second))
        if first == second:
            return
        parts = ["exit code", "standard output", "standard error", "files"]
        lines = ["DIFFERS %s: %s" % (group, label)]
        for part, x, y in zip(parts, first, second):
            if x == y:
                continue
            if part == "files":
                for name in sorted(set(x) | set(y)):
                    if x.get(name) != y.get(name):
                        lines.append("  file %s: %r -> %r" % (name, str(x.get(name))[:200],
                                                             str(y.get(name))[:200]))
                continue
            diff = list(difflib.unified_diff(show(x), show(y), "before", "after", n=1))
            lines.append("  %s:" % part)
            lines += ["    " + d.rstrip("\n") for d in diff[:30]]
        self.differences.append("\n".join(lines))
        print(self.differences[-1], flush=True)

    @staticmethod
    def pageless(result):
        code, out, err, files = result
        files = {name: tuple(without_page_scripts(v) if isinstance(v, bytes) else v for v in value)
                 for name, value in files.items()}
        return code, without_page_scripts(out), err, files

    def commands(self, scratch):
        cases = run_command.read_table()
        wanted = ("all", "native") + (("root", "user") if os.geteuid() == 0 else ())
        for name, case in cases.items():
            if case["where"] not in wanted:
                continue
            folder = os.path.join(scratch, "case")
            results = []
            for checker in (self.before, self.after):
                results.append(run_row(case, checker, folder))
                shutil.rmtree(folder)
            (a, files_a), (b, files_b) = results
            self.same("commands.tsv", name, a + (files_a,), b + (files_b,))

    def manifest(self, scratch):
        corpus = os.path.join(scratch, "corpus")
        subprocess.run([sys.executable, os.path.join(ROOT, "tests", "hostile", "corpus.py"),
                        corpus], check=True)
        sample = os.path.relpath(os.path.join(ROOT, "data", "RULES.TXT"), corpus)
        for name, case in run_case.read_manifest().items():
            for options in CASE_LINES:
                options = [{"SAMPLE": sample, "SELF": case["path"]}.get(o, o) for o in options]
                argv = options + ["--", case["path"]]
                a = run_plain([self.before] + argv, corpus)
                b = run_plain([self.after] + argv, corpus)
                self.same("cases.tsv", "%s: %s" % (name, " ".join(argv)), a + ({},), b + ({},))

    def sample(self, scratch):
        folder = os.path.join(scratch, "sample")
        for argv in SAMPLE_LINES:
            results = []
            for checker in (self.before, self.after):
                os.makedirs(os.path.join(folder, "tests", "check"))
                shutil.copytree(os.path.join(ROOT, "data"), os.path.join(folder, "data"))
                shutil.copytree(os.path.join(ROOT, "tests", "check", "fixtures"),
                                os.path.join(folder, "tests", "check", "fixtures"))
                results.append(run_plain([checker] + argv, folder) + (snapshot(folder),))
                shutil.rmtree(folder)
            self.same("sample", " ".join(argv) or "(no arguments)", results[0], results[1])

    def stress(self, scratch):
        files = os.path.join(scratch, "stress-files")
        os.mkdir(files)
        for name, options in STRESS_FILES.items():
            subprocess.run([sys.executable, os.path.join(HERE, "gen_stress.py")] + options +
                           ["-o", os.path.join(files, name)], check=True)
        subprocess.run([sys.executable, os.path.join(HERE, "mutate_rules.py"),
                        os.path.join(files, "A.txt"), os.path.join(files, "B.txt")], check=True)
        folder = os.path.join(scratch, "stress")
        for argv in STRESS_LINES:
            results = []
            for checker in (self.before, self.after):
                shutil.copytree(files, folder)
                results.append(run_plain([checker] + argv, folder) + (snapshot(folder),))
                shutil.rmtree(folder)
            self.same("stress", " ".join(argv), results[0], results[1])


def main():
    args = sys.argv[1:]
    only = None
    if args[:1] == ["--only"]:
        only, args = args[1], args[2:]
    page_moved = args[:1] == ["--page-moved"]
    if page_moved:
        args = args[1:]
    if len(args) != 2:
        sys.exit(__doc__)
    comparer = Comparer(os.path.abspath(args[0]), os.path.abspath(args[1]), page_moved)
    scratch = tempfile.mkdtemp(prefix="lvcompare-")
    os.chmod(scratch, 0o755)
    try:
        for group in ("commands", "manifest", "sample", "stress"):
            if only in (None, group):
                getattr(comparer, group)(scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    total = sum(comparer.compared.values())
    counts = ", ".join("%s %d" % item for item in comparer.compared.items())
    verdict = "%d differ" % len(comparer.differences) if comparer.differences else "all the same"
    print("compare_checkers: %d command lines compared byte for byte (%s): %s" %
          (total, counts, verdict))
    sys.exit(1 if comparer.differences else 0)


if __name__ == "__main__":
    signal.signal(signal.SIGINT, signal.default_int_handler)
    main()
