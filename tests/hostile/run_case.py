#!/usr/bin/env python3
"""Runs one case of the hostile corpus (cases.tsv) and checks its outcome.

  run_case.py --list
  run_case.py CASE --dir CORPUS check CHECKER
      lorvane-check --json --metrics 11,13,0 -- PATH in CORPUS: the exit code,
      standard error exactly (the message and a line feed; nothing for a
      chart), and the JSON checks of the case.
  run_case.py CASE --dir CORPUS view DRIVER VIEWER [EMULATOR...]
      lorvane-drive VIEWER PATH --expect-exit N [--expect-text MESSAGE] in
      CORPUS, through the emulator (wine) when one is given.

The manifest has one case a line, tab-separated: name, path (relative to
the staged corpus, given to the program as is), expected exit code, the
checker's message or "chart", the viewer's message ("=" for the same, with
"[N]" in front when its exit code differs from the checker's), then any number of JSON checks "path=value" (path like advances[2].level, value a
JSON literal). Messages use the escapes \\n, \\t, \\\\ and \\xHH.
"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MANIFEST = os.path.join(HERE, "cases.tsv")
TIMEOUT = 10


def unescape(text):
    out = bytearray()
    i = 0
    raw = text.encode("latin-1")
    while i < len(raw):
        c = raw[i:i + 1]
        if c == b"\\" and i + 1 < len(raw):
            n = raw[i + 1:i + 2]
            if n == b"x":
                out.append(int(raw[i + 2:i + 4], 16))
                i += 4
                continue
            out += {b"n": b"\n", b"t": b"\t", b"\\": b"\\"}[n]
            i += 2
            continue
        out += c
        i += 1
    return bytes(out)


def read_manifest():
    cases = {}
    with open(MANIFEST, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) < 5:
                sys.exit("cases.tsv:%d: fewer than 5 fields" % number)
            name, path, code, message, viewer = fields[:5]
            if name in cases:
                sys.exit("cases.tsv:%d: case %s twice" % (number, name))
            viewer_exit = int(code)
            if viewer.startswith("[") and "]" in viewer:
                viewer_exit = int(viewer[1:viewer.index("]")])
                viewer = viewer[viewer.index("]") + 1:]
            cases[name] = {
                "path": unescape(path).decode("latin-1"),
                "exit": int(code),
                "message": None if message == "chart" else unescape(message),
                "viewer_exit": viewer_exit,
                "viewer": None if viewer == "chart" else
                (unescape(message) if viewer == "=" else unescape(viewer)),
                "checks": fields[5:],
            }
            if (cases[name]["message"] is None) != (int(code) == 0):
                sys.exit("cases.tsv:%d: exit code and message disagree" % number)
    return cases


def lookup(document, path):
    value = document
    for part in path.replace("[", ".[").split("."):
        if not part:
            continue
        if part.startswith("["):
            value = value[int(part[1:-1])]
        else:
            value = value[part]
    return value


def fail(case, problem):
    print("FAIL %s: %s" % (case, problem))
    sys.exit(1)


def run_checker(name, case, corpus, checker):
    argv = [checker, "--json", "--metrics", "11,13,0", "--", case["path"]]
    try:
        result = subprocess.run(argv, cwd=corpus, capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        fail(name, "no end within %d s" % TIMEOUT)
    expected_err = b"" if case["message"] is None else case["message"] + b"\n"
    if result.returncode != case["exit"]:
        fail(name, "exit code %d, expected %d; stderr %r" %
             (result.returncode, case["exit"], result.stderr[:600]))
    if result.stderr != expected_err:
        fail(name, "stderr\n  got      %r\n  expected %r" % (result.stderr, expected_err))
    if case["exit"] != 0:
        return
    try:
        document = json.loads(result.stdout.decode("utf-8"))
    except ValueError as error:
        fail(name, "the report is not JSON: %s" % error)
    for check in case["checks"]:
        path, _, literal = check.partition("=")
        expected = json.loads(literal)
        try:
            got = lookup(document, path)
        except (KeyError, IndexError, TypeError):
            fail(name, "%s is missing from the report" % path)
        if got != expected:
            fail(name, "%s is %s, expected %s" % (path, json.dumps(got), literal))


def run_viewer(name, case, corpus, driver, viewer, emulator):
    argv = emulator + [driver, viewer, case["path"], "--expect-exit", str(case["viewer_exit"])]
    if case["viewer"] is not None:
        argv += ["--expect-text", case["viewer"].decode("latin-1")]
    # Wine's services keep inherited pipes open: its output goes to files.
    with tempfile.TemporaryFile() as out:
        try:
            result = subprocess.run(argv, cwd=corpus, stdout=out, stderr=subprocess.STDOUT,
                                    timeout=TIMEOUT + 20)
        except subprocess.TimeoutExpired:
            fail(name, "the driver did not end")
        out.seek(0)
        output = out.read().decode("latin-1").replace("\r", "")
    if result.returncode != 0:
        fail(name, "the driver reports (exit %d):\n%s" % (result.returncode, output))


def main():
    args = sys.argv[1:]
    cases = read_manifest()
    if args == ["--list"]:
        print("\n".join(cases))
        return
    if len(args) < 5 or args[1] != "--dir" or args[3] not in ("check", "view"):
        sys.exit(__doc__)
    name, corpus, mode = args[0], args[2], args[3]
    if name not in cases:
        sys.exit("no case %s in cases.tsv" % name)
    if mode == "check":
        run_checker(name, cases[name], corpus, os.path.abspath(args[4]))
    else:
        run_viewer(name, cases[name], corpus, args[4], args[5], args[6:])
    print("ok %s" % name)


if __name__ == "__main__":
    main()
