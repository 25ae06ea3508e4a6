#!/usr/bin/env python3
"""The checker's example outputs in README.md and docs/GUIDE.md, run.

  doc_examples.py CHECKER

An example is the indented block after a line "<!-- output of: RUN -->"
(several runs joined by " + "): a RUN is the checker's arguments after a
NAME=FILE for each file it reads, FILE from the repository's root or
mistake:NAME (the sample with that mistake of tests/hostile/corpus.py),
copied to NAME in a folder of its own where it runs; without files it
runs in the root. After "<!-- output -->" the block gives its runs itself,
lines "$ lorvane-check ARGS". A block holds one part per run (blank lines
between them, or each after its "$" line), and a part's lines come one
after another in its run's output (standard output, then standard error),
a line "..." standing for lines left out.
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
DOCUMENTS = ["README.md", "docs/GUIDE.md"]
MARKER = re.compile(r"<!-- output(?: of: (.*))? -->$")


def examples(document):
    """Each marked block as (line number, runs given or None, its lines)."""
    with open(os.path.join(ROOT, document), encoding="utf-8") as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines, 1):
        marker = MARKER.match(line)
        if not marker:
            continue
        block = []
        for text in lines[number:]:
            if text.strip() and not text.startswith("    "):
                break
            block.append(text[4:])
        while block and not block[0]:
            block.pop(0)
        while block and not block[-1]:
            block.pop()
        runs = marker.group(1)
        yield number, runs.split(" + ") if runs else None, block


def parts(runs, block):
    """The runs' arguments, each with the lines its output must show."""
    if runs is None:
        found = []
        for line in block:
            if line.startswith("$ "):
                found.append((shlex.split(line[2:])[1:], []))
            elif found:
                found[-1][1].append(line)
        return found
    shown = [[]]
    for line in block:
        if line:
            shown[-1].append(line)
        elif shown[-1]:
            shown.append([])
    return list(zip([shlex.split(run) for run in runs], shown)) if len(shown) == len(runs) else []


def file_bytes(source):
    if source.startswith("mistake:"):
        sys.path.insert(0, os.path.join(ROOT, "tests", "hostile"))
        import corpus
        return corpus.sample_with(*corpus.SAMPLE_MISTAKES[source[8:]])
    with open(os.path.join(ROOT, source), "rb") as f:
        return f.read()


def output(checker, arguments):
    files = [a for a in arguments if re.match(r"[\w.-]+=", a)]
    folder = tempfile.mkdtemp() if files else ROOT
    try:
        for item in files:
            name, source = item.split("=", 1)
            with open(os.path.join(folder, name), "wb") as f:
                f.write(file_bytes(source))
        run = subprocess.run([checker] + arguments[len(files):], cwd=folder,
                             capture_output=True, timeout=120)
        return (run.stdout + run.stderr).decode("utf-8").split("\n")
    finally:
        if files:
            shutil.rmtree(folder)


def shows(lines, shown):
    """True when the shown lines come in order, each piece between "..." whole."""
    pieces = [[]]
    for line in shown:
        if line == "...":
            pieces.append([])
        else:
            pieces[-1].append(line)
    at = 0
    for piece in pieces:
        while at + len(piece) <= len(lines) and lines[at:at + len(piece)] != piece:
            at += 1
        if at + len(piece) > len(lines):
            return False
        at += len(piece)
    return True


def main():
    checker = os.path.abspath(sys.argv[1])
    failures = count = 0
    for document in DOCUMENTS:
        marked = list(examples(document))
        if not marked:
            print("%s: no example marked" % document)
            failures += 1
        for number, runs, block in marked:
            found = parts(runs, block)
            if not found or any(not shown for _, shown in found):
                print("%s:%d: the block's parts do not match its runs" % (document, number))
                failures += 1
            for arguments, shown in found:
                count += 1
                got = output(checker, arguments)
                if not shows(got, shown):
                    print("%s:%d: lorvane-check %s does not show\n  %s\nit gives\n  %s" % (
                        document, number, " ".join(arguments), "\n  ".join(shown),
                        "\n  ".join(got[:60])))
                    failures += 1
    print("%d examples run, %d wrong" % (count, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
