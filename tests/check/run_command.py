#!/usr/bin/env python3
"""Runs one hostile command line of commands.tsv and checks how it ends.

  run_command.py --list [native|win]
  run_command.py CASE CHECKER [EMULATOR...]

Each case runs in a fresh scratch folder (the current folder of the
checker) holding the files it prepares; afterwards the exit code, standard
error and standard output must be as expected, and the folder must hold
exactly the files prepared and those the case names afterwards, each as
described (no temporary file left behind).

Columns of commands.tsv, tab-separated (escapes \\n, \\t, \\\\, \\xHH):
  name
  where      all (natively and under Wine), native, win (under Wine only),
             root (natively, when special files can be made), user (natively
             as root, the checker run as the unprivileged user 65534 in a
             folder everyone may write)
  files      "|"-separated: NAME=FIXTURE (a file of tests/check/fixtures),
             NAME=text:BYTES, NAME=zeros:SIZE (a sparse file), NAME=wide:N
             (N advances on level 0 beside the root), NAME=dir,
             NAME=fifo-blocked (a FIFO no one reads: writing it waits),
             NAME=fifo (a reader takes what is written), NAME=dev:MAJOR:MINOR
             (a character device made here), NAME->TARGET (a symbolic link),
             NAME=>TARGET (a hard link); "@MODE" after a file sets its mode,
             "@MODE:ID" its owner and group too; NAME may be in a folder
             made before it (d/NAME)
  arguments  "|"-separated; $DIR is the scratch folder
  exit       the exit code; signal:NAME sends that signal once a temporary
             file exists, and the checker must end by it. After either,
             /CALL:N:ERROR (strace injects it) makes the checker's Nth
             call of the system call CALL fail with ERROR, and
             /CALL:N:SIGNAL sends that signal as the call begins
  stderr     the text and a line feed; usage:PROBLEM for "lorvane-check:
             PROBLEM" and the usage text; "-" for nothing
  stdout     "-" nothing, "*" anything, @svg or @html what that export of
             fixtures/small.txt gives, @usage the usage text (check/usage.txt),
             text:BYTES exactly, starts:BYTES beginning so (what follows,
             the file's warnings, is the tests of warnings'), json:PATH=VALUE
             a value of the JSON report; >NAME sends standard output to
             that prepared file, >>NAME appends to it, <>NAME writes it
             from its start without emptying it, &2 sends it where
             standard error goes; cmd>NAME and cmd>>NAME (under Wine) run
             the checker through cmd.exe, whose redirection opens NAME
  after      "|"-separated: NAME=FIXTURE, NAME=starts:FIXTURE (beginning
             so, as stdout's starts:), NAME=text:BYTES, NAME=wide:N,
             NAME=* (any regular file), NAME=@svg,
             NAME=@html, NAME->TARGET (still that link), NAME@MODE[:ID],
             NAME=fifo:@svg (still a FIFO; its reader got the SVG),
             NAME=dev (still a device)
"""
import json
import os
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "hostile"))
from run_case import check_schema, lookup, table_rows, unescape  # noqa: E402

TABLE = os.path.join(HERE, "commands.tsv")
FIXTURES = os.path.join(HERE, "fixtures")
USAGE = os.path.join(HERE, "..", "..", "check", "usage.txt")
TIMEOUT = 60


def read_table():
    cases = {}
    for number, fields in table_rows(TABLE):
        if len(fields) != 8:
            sys.exit("commands.tsv:%d: %d fields, not 8" % (number, len(fields)))
        if fields[0] in cases:
            sys.exit("commands.tsv:%d: case %s twice" % (number, fields[0]))
        cases[fields[0]] = dict(zip(
            ["name", "where", "files", "args", "exit", "stderr", "stdout", "after"], fields))
    return cases


def items(field):
    return [] if field in ("", "-") else [unescape(i) for i in field.split("|")]


def fail(case, problem):
    print("FAIL %s: %s" % (case, problem))
    sys.exit(1)


class Fifo(threading.Thread):
    """Reads a FIFO until the writer closes it."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.path, self.data = path, b""

    def run(self):
        with open(self.path, "rb") as f:
            self.data = f.read()


def prepare(folder, layout):
    fifos = {}
    for item in items(layout):
        mode = owner = None
        found = re.match(rb"(.*)@([01][0-7]{3})(?::([0-9]+))?$", item, re.S)
        if found:
            item, mode, owner = found.group(1), found.group(2), found.group(3)
        item = item.decode("latin-1")
        if "->" in item:
            name, target = item.split("->", 1)
            os.symlink(target, os.path.join(folder, name))
            continue
        if "=>" in item:
            name, target = item.split("=>", 1)
            os.link(os.path.join(folder, target), os.path.join(folder, name))
            continue
        name, source = item.split("=", 1)
        path = os.path.join(folder, name)
        if source == "dir":
            os.mkdir(path)
        elif source == "fifo":
            os.mkfifo(path)
            fifos[name] = Fifo(path)
        elif source == "fifo-blocked":
            os.mkfifo(path)
        elif source.startswith("dev:"):
            major, minor = (int(n) for n in source[4:].split(":"))
            os.mknod(path, 0o666 | stat.S_IFCHR, os.makedev(major, minor))
        elif source.startswith("text:"):
            with open(path, "wb") as f:
                f.write(source[5:].encode("latin-1"))
        elif source.startswith("wide:"):
            with open(path, "wb") as f:
                f.write(wide_file(int(source[5:])))
        elif source.startswith("zeros:"):
            with open(path, "wb") as f:
                f.truncate(int(source[6:]))
        else:
            shutil.copyfile(os.path.join(FIXTURES, source), path)
        if owner is not None:
            os.chown(path, int(owner), int(owner))
        if mode is not None:
            os.chmod(path, int(mode, 8))
    return fifos


def wide_file(count):
    """A row of count advances on level 0 beside the root: their
    prerequisite names nothing."""
    lines = [b"@CIVILIZE\n"]
    lines += [b"Wide %d, 1, 0, Zzz, Zzz, 0, 0 ; W%02d\n" % (i, i % 100) for i in range(count)]
    return b"".join(lines + [b"@IMPROVE\n@UNITS\n@TERRAIN\n"])


def reference(command, kind, cache={}):
    """What --svg or --html writes for fixtures/small.txt copied to r.txt,
    the name the cases give it (the page's title)."""
    if kind not in cache:
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "out")
            shutil.copy(os.path.join(FIXTURES, "small.txt"), os.path.join(folder, "r.txt"))
            subprocess.run(command + ["--" + kind, "out", "r.txt"],
                           cwd=folder, stdin=subprocess.DEVNULL, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            with open(out, "rb") as f:
                cache[kind] = f.read()
    return cache[kind]


def expected_bytes(command, source):
    if source.startswith("wide:"):
        return wide_file(int(source[5:]))
    if source in ("@svg", "@html"):
        return reference(command, source[1:])
    if source == "@usage":
        with open(USAGE, "rb") as f:
            return f.read()
    if source.startswith("text:"):
        return source[5:].encode("latin-1")
    with open(os.path.join(FIXTURES, source), "rb") as f:
        return f.read()


def check_after(case, command, folder, layout, prepared, fifos):
    names = set(prepared)
    for item in items(layout):
        item = item.decode("latin-1")
        if "->" in item:
            name, target = item.split("->", 1)
            names.add(name)
            path = os.path.join(folder, name)
            if not os.path.islink(path) or os.readlink(path) != target:
                fail(case, "%s is no longer a link to %s" % (name, target))
            continue
        found = re.match(r"([^=]*)@([01][0-7]{3})(?::([0-9]+))?$", item)
        if found:
            name, mode, owner = found.groups()
            names.add(name)
            info = os.lstat(os.path.join(folder, name))
            if stat.S_IMODE(info.st_mode) != int(mode, 8):
                fail(case, "%s has mode %o, expected %s" % (name, stat.S_IMODE(info.st_mode), mode))
            if owner is not None and (info.st_uid, info.st_gid) != (int(owner), int(owner)):
                fail(case, "%s belongs to %d:%d, expected %s" % (name, info.st_uid, info.st_gid,
                                                                  owner))
            continue
        name, source = item.split("=", 1)
        names.add(name)
        path = os.path.join(folder, name)
        if source == "dir":
            if not os.path.isdir(path) or os.path.islink(path):
                fail(case, "%s is no longer a folder" % name)
            continue
        if source == "fifo-blocked":
            if not stat.S_ISFIFO(os.lstat(path).st_mode):
                fail(case, "%s is no longer a FIFO" % name)
            continue
        if source == "dev":
            if not stat.S_ISCHR(os.lstat(path).st_mode):
                fail(case, "%s is no longer a device" % name)
            continue
        if source.startswith("fifo:"):
            if not stat.S_ISFIFO(os.lstat(path).st_mode):
                fail(case, "%s is no longer a FIFO" % name)
            fifos[name].join(10)
            if fifos[name].data != expected_bytes(command, source[5:]):
                fail(case, "the reader of %s got %r" % (name, fifos[name].data[:200]))
            continue
        if not os.path.isfile(path) or os.path.islink(path):
            fail(case, "%s is not a regular file" % name)
        if source == "*":
            continue
        with open(path, "rb") as f:
            data = f.read()
        if source.startswith("starts:"):
            if not data.startswith(expected_bytes(command, source[7:])):
                fail(case, "%s holds %r, expected %s..." % (name, data[:200], source[7:]))
        elif data != expected_bytes(command, source):
            fail(case, "%s holds %r, expected %s" % (name, data[:200], source))
    present = set(tree(folder))
    if present != names:
        fail(case, "the folder holds %s, expected %s" % (sorted(present), sorted(names)))


def tree(folder):
    """Every name in the folder and the folders in it (links not followed)."""
    names = []
    for top, folders, files in os.walk(folder):
        for name in folders + files:
            names.append(os.path.relpath(os.path.join(top, name), folder))
    return names


def injected(command, fault):
    """The command under strace, with the fault CALL:N:ERROR or CALL:N:SIGNAL."""
    call, when, what = fault.split(":")
    action = ("signal=" if what.startswith("SIG") else "error=") + what
    return ["strace", "-qq", "-o", "/dev/null", "-e", "trace=" + call,
            "-e", "inject=%s:%s:when=%s" % (call, action, when)] + command


def wine_of(program):
    """The Wine that runs a Windows program (win32 or win64), by its PE header's machine."""
    with open(program, "rb") as f:
        head = f.read(4096)
    at = int.from_bytes(head[60:64], "little")
    return {b"\x4c\x01": "win32", b"\x64\x86": "win64"}[head[at + 4:at + 6]]


def interrupt(name, process, folder, signal_name):
    """Sends the signal once the checker has a temporary file (and is kept
    waiting by a FIFO no one reads)."""
    deadline = time.time() + TIMEOUT
    while not any(n.startswith(".lvc") for n in os.listdir(folder)):
        if time.time() > deadline or process.poll() is not None:
            process.kill()
            fail(name, "no temporary file to interrupt")
        time.sleep(0.02)
    time.sleep(0.2)
    process.send_signal(getattr(signal, "SIG" + signal_name))


# A row's standard output into a file of its folder: the prefix of its
# stdout column, and how the file is opened.
OUT_FILES = ((">>", "ab"), ("<>", "r+b"), (">", "wb"))


def run_row(case, command, folder):
    """Runs the row's command line in FOLDER, which holds its files
    (prepare), as the row says: standard output to a file of the folder,
    to standard error or from cmd.exe, a fault injected, as another user.
    Returns the exit code (None when it did not end within TIMEOUT s; the
    process is killed), standard output and error as written, and the
    arguments given."""
    args = [a.replace(b"$DIR", folder.encode()) for a in items(case["args"])]
    out_want = case["stdout"]
    out_target = None
    for prefix, mode in OUT_FILES:
        if out_want.startswith(prefix):
            out_target = open(os.path.join(folder, out_want[len(prefix):]), mode)
            break
    want_code, _, fault = case["exit"].partition("/")
    plain = command
    env = None
    if fault:
        # The sanitizers' leak check cannot run under a tracer.
        command = injected(command, fault)
        env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    if out_want.startswith("cmd>"):
        # The standard output a Windows shell opens, which Wine can
        # identify (one inherited from a Unix shell it cannot); cmd.exe
        # runs under the checker's own Wine.
        line = [b"Z:" + command[-1].encode().replace(b"/", b"\\")] + args
        command = command[:-1] + ["cmd", "/c", b" ".join(line + [out_want[3:].encode()])]
        args = []
        env = dict(env or os.environ, LORVANE_WINE_ARCH=wine_of(plain[-1]))
    if case["where"] == "user":
        os.chmod(folder, 0o777)
        command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        os.umask(0o022)
        if out_want == "&2":
            out_target = err
        process = subprocess.Popen(command + args, cwd=folder, stdin=subprocess.DEVNULL,
                                   stdout=out_target or out, stderr=err, env=env)
        if want_code.startswith("signal:") and not fault:
            interrupt(case["name"], process, folder, want_code[7:])
        try:
            code = process.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            code = None
        if out_target is not None and out_target is not err:
            out_target.close()
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read(), args


def run(case, command):
    emulated = len(command) > 1
    folder = tempfile.mkdtemp(prefix="lvcmd-")
    try:
        fifos = prepare(folder, case["files"])
        for fifo in fifos.values():
            fifo.start()
        prepared = tree(folder)
        code, got_out, got_err, args = run_row(case, command, folder)
        if code is None:
            fail(case["name"], "no end within %d s" % TIMEOUT)
        out_want = case["stdout"]
        want_code = case["exit"].partition("/")[0]
        plain = command  # the references' command, without tracer or other user
        redirected = out_want.startswith(tuple(p for p, _ in OUT_FILES) + ("&2", "cmd>"))
        raw_out = got_out
        if emulated:
            got_out, got_err = got_out.replace(b"\r\n", b"\n"), got_err.replace(b"\r\n", b"\n")
        name = case["name"]
        if want_code.startswith("signal:"):
            want_code = -getattr(signal, "SIG" + want_code[7:])
        if code != int(want_code):
            fail(name, "exit code %d, expected %s; stderr %r" % (code, case["exit"], got_err))
        expected = case["stderr"]
        if expected == "-":
            want_err = b""
        elif expected.startswith("usage:"):
            with open(USAGE, "rb") as f:
                want_err = b"lorvane-check: " + unescape(expected[6:]) + b"\n" + f.read()
        else:
            want_err = unescape(expected).replace(b"$DIR", folder.encode()) + b"\n"
        if got_err != want_err:
            fail(name, "stderr\n  got      %r\n  expected %r" % (got_err, want_err))
        if out_want == "-" and got_out != b"":
            fail(name, "standard output should be empty, got %r" % got_out[:300])
        if b"--json" in args and code == 0 and not redirected:
            check_schema(name, json.loads(got_out.decode("ascii")))
        if out_want.startswith("json:"):
            where, _, literal = out_want[5:].partition("=")
            got = lookup(json.loads(got_out.decode("ascii")), where)
            if got != json.loads(literal):
                fail(name, "%s is %s, expected %s" % (where, json.dumps(got), literal))
        elif out_want.startswith("starts:"):
            want_out = unescape(out_want[7:])
            if not got_out.startswith(want_out):
                fail(name, "stdout\n  got      %r\n  expected %r..." % (got_out[:600], want_out))
        elif out_want not in ("-", "*") and not redirected:
            want_out = expected_bytes(plain, unescape(out_want).decode("latin-1"))
            # An output with its own CR LF (CSV) is compared as written.
            if b"\r" in want_out:
                got_out = raw_out
            if got_out != want_out:
                fail(name, "stdout\n  got      %r\n  expected %r" % (got_out[:600], want_out[:600]))
        check_after(name, plain, folder, case["after"], prepared, fifos)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    args = sys.argv[1:]
    cases = read_table()
    if args[:1] == ["--list"]:
        wanted = {"native": ("all", "native", "root", "user"), "win": ("all", "win")}[args[1]]
        print(";".join(n for n, c in cases.items() if c["where"] in wanted))
        return
    if len(args) < 2 or args[0] not in cases:
        sys.exit(__doc__)
    case = cases[args[0]]
    if case["where"] in ("root", "user") and os.geteuid() != 0:
        print("skipped: special files need root")
        sys.exit(77)
    run(case, args[2:] + [os.path.abspath(args[1])])
    print("ok %s" % args[0])


if __name__ == "__main__":
    main()
