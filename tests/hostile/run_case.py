#!/usr/bin/env python3
"""Runs a rules-file case through one program and checks its outcome.

  run_case.py --list
  run_case.py CASE --dir CORPUS check CHECKER [EMULATOR...]
      lorvane-check on PATH in CORPUS, once as `-- PATH` and once as
      `--json --metrics 11,13,0 -- PATH`: each time the exit code and
      standard error exactly (the message and a line feed; nothing for a
      chart), and nothing on standard output for a refusal; the case's JSON
      checks on the JSON report. A message that quotes the line at fault
      comes in the text report as `PATH:N: error: MESSAGE`, and line N of
      the file must hold the quoted text. Then, natively, `--diff SAMPLE --
      PATH` and `--json --diff PATH -- PATH`: a refusal names the file, in
      that form or as `PATH: error: MESSAGE`; a file that loads gives a
      report of changes, and none against itself. (Through Wine the two
      comparisons are left out: they load each file with the same code as
      the two runs before, and the Windows build's comparison has tests of
      its own, tests/check's check.win.diff; two more Wine starts for each
      of the corpus's cases would cost the test command minutes.)
  run_case.py CASE --dir CORPUS view DRIVER VIEWER [EMULATOR...]
      lorvane-drive VIEWER PATH --expect-exit N [--expect-text MESSAGE]
      --timeout 30 in CORPUS: the viewer's box and exit code, or its window
      for a chart.
  run_case.py --outcome EXIT MESSAGE [--out FILE | --report FILE] [CHECK...] -- COMMAND...
      one run of COMMAND (through Wine) checked in the same way, its
      standard output equal to FILE when given (--report: its text report
      up to its warnings, "Warnings N" and after, which FILE leaves out):
      the checker's report tests in the Windows build.

Through Wine, carriage returns before line feeds are dropped from the
program's output (the C library's text mode writes them). A program that
ends with an exit code other than 0 must write nothing to standard output.

The manifest (cases.tsv) has one case a line, tab-separated: name, path
(relative to the staged corpus, given to the program as is), expected exit
code, the checker's message or "chart", the viewer's message ("=" for the
same, with "[N]" in front when its exit code differs from the checker's),
then any number of JSON checks "path=value" (path like advances[2].level,
value a JSON literal; "list[?]=value" for a value anywhere in the list).
Messages and paths use the escapes \\n, \\t, \\\\ and \\xHH.
"""
import json
import os
import re
import resource
import signal
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "check"))
MANIFEST = os.path.join(HERE, "cases.tsv")
# The checker writes a report of 29 MB for the widest case, slowly under
# the sanitizers and under Wine; the driver ends the viewer after 10 s.
# A checker that never ends spends CPU time, so its limit is CPU seconds,
# which a busy machine does not shorten; the wall-clock limits are only a
# backstop for a process that waits for ever, well inside CTest's own.
CHECK_CPU_SECONDS = 60
CHECK_TIMEOUT = 200
VIEW_TIMEOUT = 60
JSON_MODE = ["--json", "--metrics", "11,13,0"]
SAMPLE = os.path.join(HERE, "..", "..", "data", "RULES.TXT")



def check_schema(name, document):
    """Every JSON output answers to its schema (docs/schema)."""
    # Imported here, as the schemas' library takes a quarter of a second to
    # load, and most runs (a refusal, the viewer) check no JSON.
    import validate_json
    faults = validate_json.faults(document)
    if faults:
        fail(name, "\n  ".join(["the JSON output breaks its schema:"] + faults[:10]))

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


def message(field):
    return None if field == "chart" else unescape(field)


def table_rows(path):
    """(line number, tab-separated fields) of each row of a table; blank
    lines and lines starting with # are none."""
    with open(path, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                yield number, line.split("\t")


def read_manifest():
    cases = {}
    for number, fields in table_rows(MANIFEST):
        if len(fields) < 5:
            sys.exit("cases.tsv:%d: fewer than 5 fields" % number)
        name, path, code, checker, viewer = fields[:5]
        if name in cases:
            sys.exit("cases.tsv:%d: case %s twice" % (number, name))
        viewer_exit = int(code)
        if viewer.startswith("[") and "]" in viewer:
            viewer_exit = int(viewer[1:viewer.index("]")])
            viewer = viewer[viewer.index("]") + 1:]
        cases[name] = {
            "path": unescape(path).decode("latin-1"),
            "exit": int(code),
            "message": message(checker),
            "viewer_exit": viewer_exit,
            "viewer": message(checker if viewer == "=" else viewer),
            "checks": fields[5:],
        }
        if (cases[name]["message"] is None) != (int(code) == 0):
            sys.exit("cases.tsv:%d: exit code and message disagree" % number)
    return cases


def fail(case, problem):
    print("FAIL %s: %s" % (case, problem))
    sys.exit(1)


def limit_cpu():
    """In the child: SIGXCPU after CHECK_CPU_SECONDS of CPU time."""
    resource.setrlimit(resource.RLIMIT_CPU, (CHECK_CPU_SECONDS, CHECK_CPU_SECONDS + 5))


def run(argv, cwd, timeout, emulated):
    """The exit code (None on a timeout), standard output and standard error
    of argv. Output goes through files: Wine's services keep pipes open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            code = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=err, timeout=timeout,
                                  preexec_fn=limit_cpu).returncode
        except subprocess.TimeoutExpired:
            code = None
        out.seek(0)
        err.seek(0)
        streams = [out.read(), err.read()]
    if emulated:
        streams = [s.replace(b"\r\n", b"\n") for s in streams]
    return code, streams[0], streams[1]


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


def check_outcome(name, result, exit_code, expected_message, checks=(), out_file=None,
                  json_out=False, report_only=False):
    """Fails the case unless result (code, stdout, stderr) ends as expected;
    a JSON output (json_out, or any with checks) must answer to its schema."""
    code, out, err = result
    if code is None:
        fail(name, "no end within the time allowed")
    if code == -signal.SIGXCPU:
        fail(name, "more than %d s of CPU time" % CHECK_CPU_SECONDS)
    if code != exit_code:
        fail(name, "exit code %d, expected %d; stderr %r" % (code, exit_code, err[:600]))
    expected_err = b"" if expected_message is None else expected_message + b"\n"
    if err != expected_err:
        fail(name, "stderr\n  got      %r\n  expected %r" % (err, expected_err))
    if exit_code != 0 and out != b"":
        fail(name, "standard output should be empty, got %r" % out[:600])
    if out_file is not None:
        with open(out_file, "rb") as f:
            expected_out = f.read()
        if report_only and b"\nWarnings " in out:
            out = out[:out.rindex(b"\nWarnings ") + 1]
        if out != expected_out:
            fail(name, "stdout\n%s\nexpected (%s):\n%s" %
                 (out.decode("latin-1"), out_file, expected_out.decode("latin-1")))
    if not checks and not json_out:
        return
    try:
        document = json.loads(out.decode("ascii"))
    except ValueError as error:
        fail(name, "the report is not JSON in ASCII: %s" % error)
    check_schema(name, document)
    for check in checks:
        path, _, literal = check.partition("=")
        expected = json.loads(literal)
        # "list[?]=value": some item of the list is the value, wherever it is.
        among = path.endswith("[?]")
        try:
            got = lookup(document, path[:-3] if among else path)
        except (KeyError, IndexError, TypeError):
            fail(name, "%s is missing from the report" % path)
        if among:
            if not isinstance(got, list) or expected not in got:
                fail(name, "%s holds no %s" % (path[:-3], literal))
        elif got != expected or type(got) is not type(expected):
            fail(name, "%s is %s, expected %s" % (path, json.dumps(got), literal))


LINE_AT_FAULT = re.compile(rb' in (advance|unit) line "(.*)"$', re.S)
# A refused cycle stands at the line of the advance it names.
ADVANCE_AT_FAULT = re.compile(rb'^Advance "(.*?)" depends on itself through its prerequisites: ')


def with_line(name, case, corpus, err):
    """The text report's form of a message about one line, its number
    taken from err once line N of the file is seen to hold the quoted text."""
    message = case["message"]
    quoted = LINE_AT_FAULT.search(message or b"")
    named = ADVANCE_AT_FAULT.search(message or b"")
    if quoted is None and named is None:
        return message
    prefix = case["path"].encode("latin-1") + b":"
    number = err[len(prefix):].split(b":", 1)[0] if err.startswith(prefix) else b"N"
    if number.isdigit():
        with open(os.path.join(corpus, case["path"]), "rb") as f:
            lines = f.read().split(b"\n")
        n = int(number)
        line = lines[n - 1].replace(b"\r", b"") if 1 <= n <= len(lines) else b""
        if quoted is not None and quoted.group(2) not in line:
            fail(name, "line %d of the file does not hold %r" % (n, quoted.group(2)[:80]))
        if named is not None and not line.lstrip().startswith(named.group(1) + b","):
            fail(name, "line %d of the file is not the advance %r" % (n, named.group(1)))
    return prefix + number + b": error: " + message


def run_checker(name, case, corpus, command):
    emulated = len(command) > 1
    for mode in ([], JSON_MODE):
        result = run(command + mode + ["--", case["path"]], corpus, CHECK_TIMEOUT, emulated)
        checks = case["checks"] if mode and case["exit"] == 0 else ()
        label = "%s (%s)" % (name, "json" if mode else "text")
        message = case["message"] if mode else with_line(label, case, corpus, result[2])
        check_outcome(label, result, case["exit"], message, checks,
                      json_out=bool(mode) and case["exit"] == 0)
    if not emulated:
        run_diffs(name, case, corpus, command)


def run_diffs(name, case, corpus, command):
    """--diff against the sample and against itself: a refusal names the
    file; a file that loads differs from itself in nothing."""
    path = case["path"]
    sample = os.path.relpath(SAMPLE, corpus)
    for old, mode in ((sample, []), (path, ["--json"])):
        label = "%s (diff %s)" % (name, "sample" if old == sample else "itself")
        code, out, err = run(command + mode + ["--diff", old, "--", path], corpus, CHECK_TIMEOUT,
                             False)
        refused = case["message"]
        if refused is not None:
            refused = with_line(label, case, corpus, err)
            if refused == case["message"]:
                refused = path.encode("latin-1") + b": error: " + refused
        check_outcome(label, (code, out, err), case["exit"], refused)
        if case["exit"] != 0:
            continue
        if old == sample:
            lines = out.split(b"\n")
            if lines[-1:] != [b""] or not lines[-2].startswith(b"Summary: "):
                fail(label, "not a report of changes: %r" % out[:600])
            continue
        report = json.loads(out.decode("ascii"))
        check_schema(label, report)
        changes = [item for group in ("advances", "units") for items in report[group].values()
                   for item in items]
        if changes:
            fail(label, "changes from a file to itself: %r" % changes[:3])


def run_viewer(name, case, corpus, driver, viewer, emulator):
    # The viewer's box or window within 30 s: Wine starts it slowly on a
    # busy machine, and no case of the manifest keeps it from ending.
    argv = emulator + [driver, viewer, case["path"], "--expect-exit", str(case["viewer_exit"]),
                       "--timeout", "30"]
    if case["viewer"] is not None:
        argv += ["--expect-text", case["viewer"].decode("latin-1")]
    code, out, _ = run(argv, corpus, VIEW_TIMEOUT, True)
    if code is None:
        fail(name, "the driver did not end")
    if code != 0:
        fail(name, "the driver reports (exit %d):\n%s" % (code, out.decode("latin-1")))


def run_outcome(args):
    if "--" not in args or args.index("--") < 2:
        sys.exit(__doc__)
    options, command = args[2:args.index("--")], args[args.index("--") + 1:]
    out_file = None
    report_only = options[:1] == ["--report"]
    if options[:1] in (["--out"], ["--report"]):
        out_file, options = options[1], options[2:]
    check_outcome(" ".join(command), run(command, None, CHECK_TIMEOUT, True), int(args[0]),
                  message(args[1]), options, out_file, report_only=report_only)


def main():
    args = sys.argv[1:]
    if args[:1] == ["--outcome"]:
        run_outcome(args[1:])
        print("ok")
        return
    cases = read_manifest()
    if args == ["--list"]:
        print("\n".join(cases))
        return
    least = {"check": 5, "view": 6}  # arguments up to the program(s)
    if len(args) < 4 or args[1] != "--dir" or len(args) < least.get(args[3], len(args) + 1):
        sys.exit(__doc__)
    name, corpus, mode = args[0], args[2], args[3]
    if name not in cases:
        sys.exit("no case %s in cases.tsv" % name)
    if mode == "check":
        run_checker(name, cases[name], corpus, args[5:] + [os.path.abspath(args[4])])
    else:
        run_viewer(name, cases[name], corpus, args[4], args[5], args[6:])
    print("ok %s" % name)


if __name__ == "__main__":
    main()
