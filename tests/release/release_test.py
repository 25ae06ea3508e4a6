#!/usr/bin/env python3
"""The release archive, unpacked and run from where it is unpacked.

  release_test.py archive|run ZIP VERSION OBJDUMP NATIVE_CHECK WINE_RUN DRIVER VIEWER VERSION_INFO WORK_DIR

ZIP is build/release/lorvane-VERSION-win32.zip (scripts/release.sh makes
it). "archive" checks what needs no 32-bit program to run, so that every
host can: the archive holds exactly its nine files in one folder; the
texts have CR LF line ends; README.txt names the subsystem version that the
executables' PE headers carry; both executables are stripped 32-bit
programs that import only system DLLs; RULES.html is the page that the
native checker writes for the sample with the page's title; Lorvane.html is
the one the web build made (build/web, which the browser tier tests, there
and unpacked) and README.txt starts with it. Then, unpacked
into a folder of its own in the Wine prefix, whose path holds a blank and a
letter outside ASCII: the version resources of both programs, read by the
build's own VERSION_INFO. "run" unpacks it the same way and runs the
release's 32-bit programs: the unpacked viewer started on the unpacked sample shows its chart, the same chart as
the test build's viewer (VIEWER), and so does "Show the sample.cmd" run by
cmd.exe, which leaves no console process behind; the unpacked checker's
--json report is the same document as the native checker's, and both give
the same --version line.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "check"))
import validate_json  # noqa: E402

FILES = ["LICENSE.txt", "Lorvane.html", "README.txt", "RULES-MOD.TXT", "RULES.TXT", "RULES.html",
         "Show the sample.cmd", "lorvane-check.exe", "lorvane.exe"]
# Where a player might unpack it: a blank and a letter outside ASCII.
FOLDER = "Lorvane t\u00e9st"
# comdlg32 is loaded only when the user prints.
SYSTEM_DLLS = {"gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll"}
SUBSYSTEMS = {"lorvane.exe": "Windows GUI", "lorvane-check.exe": "Windows CUI"}
DESCRIPTIONS = {"lorvane.exe": "Lorvane research tree viewer",
                "lorvane-check.exe": "Lorvane rules file checker"}

problems = []


def check(condition, problem):
    if not condition:
        problems.append(problem)
        print("FAIL: " + problem)
    return condition


def pe_header(objdump, path):
    """The private headers of a PE file, as objdump prints them."""
    return subprocess.run([objdump, "-p", path], capture_output=True, text=True,
                          check=True).stdout


def header_field(header, name):
    m = re.search(r"^%s\s+(\S+)" % name, header, re.M)
    return m.group(1) if m else None


def check_executable(objdump, path):
    """Imports, word size, subsystem and symbols; gives the subsystem version."""
    name = os.path.basename(path)
    header = pe_header(objdump, path)
    imports = sorted(set(re.findall(r"^\s*DLL Name: (\S+)", header, re.M)))
    print("%s imports %s" % (name, " ".join(imports)))
    check("file format pei-i386" in header, name + " is not a 32-bit x86 program")
    check(imports and {dll.lower() for dll in imports} <= SYSTEM_DLLS,
          "%s imports %s; only %s may be" % (name, imports, sorted(SYSTEM_DLLS)))
    subsystem = re.search(r"^Subsystem\s+\S+\s+\((.*)\)", header, re.M)
    check(subsystem and subsystem.group(1) == SUBSYSTEMS[name],
          "%s subsystem %s" % (name, subsystem and subsystem.group(1)))
    check("symbols stripped" in header, name + " is not stripped")
    return "%d.%d" % (int(header_field(header, "MajorSubsystemVersion"), 16),
                      int(header_field(header, "MinorSubsystemVersion"), 16))


def wine(args, out_path):
    """Runs a Windows console program; its output goes through files (Wine's
    services would hold a pipe open). Gives the exit code and standard output
    with the text mode's carriage returns taken out."""
    with open(out_path, "wb") as out, open(out_path + ".err", "wb") as err:
        code = subprocess.run(["wine"] + args, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=60).returncode
    with open(out_path, "rb") as out:
        return code, out.read().replace(b"\r\n", b"\n").decode("latin-1")


def read_version_info(text):
    """{file name: {"fixed": "a.b.c.d a.b.c.d", name: value}} from lorvane-version-info."""
    info, current = {}, None
    for line in text.splitlines():
        if line.startswith("file "):
            current = info.setdefault(line[5:].split("\\")[-1], {})
        elif line.startswith("fixed "):
            current["fixed"] = line[6:]
        elif "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return info


def drive_chart(wine_run, driver, viewer, rules, chart, log, *options):
    """The viewer on RULES through lorvane-drive: its window must show, and
    Copy's bitmap goes to CHART. Gives the driver's report, or None."""
    with open(log, "wb") as out:
        code = subprocess.run(["bash", wine_run, driver, viewer, rules, "--expect-exit", "0",
                               "--chart-out", chart, *options], stdin=subprocess.DEVNULL,
                              stdout=out,
                              stderr=subprocess.STDOUT, timeout=120).returncode
    report = open(log, encoding="latin-1").read()
    return report if check(code == 0, "%s on %s:\n%s" % (viewer, rules, report)) else None


def check_archive(folder, windows_folder, readme, objdump, version, version_info, work):
    """The executables' headers and version resources."""
    versions = {check_executable(objdump, os.path.join(folder, exe)) for exe in SUBSYSTEMS}
    print("subsystem version " + " ".join(sorted(versions)))
    check(len(versions) == 1, "the executables differ in subsystem version")
    for v in versions:
        check("subsystem version %s" % v in readme and "32-bit" in readme,
              "README.txt does not say: 32-bit, subsystem version " + v)

    # Version resources, read through the Win32 version API.
    exes = {exe: windows_folder + "\\" + exe for exe in SUBSYSTEMS}
    code, text = wine([version_info] + list(exes.values()), os.path.join(work, "version.txt"))
    check(code == 0, "lorvane-version-info:\n" + text)
    info = read_version_info(text)
    for exe in SUBSYSTEMS:
        got = info.get(exe, {})
        want = {"fixed": "%s.0 %s.0" % (version, version), "FileVersion": version,
                "ProductVersion": version, "ProductName": "Lorvane",
                "FileDescription": DESCRIPTIONS[exe], "OriginalFilename": exe}
        for key, value in want.items():
            check(got.get(key) == value, "%s version resource %s: %r, expected %r"
                  % (exe, key, got.get(key), value))


def run_unpacked(folder, windows_folder, native_check, wine_run, driver, viewer, version, work):
    """The unpacked programs at work, against the test build's viewer and
    the native checker."""
    exes = {exe: windows_folder + "\\" + exe for exe in SUBSYSTEMS}
    # The unpacked viewer on the unpacked sample: the window, and the chart
    # that the test build's viewer draws.
    rules = windows_folder + "\\RULES.TXT"
    unpacked_chart = os.path.join(work, "unpacked.ppm")
    built_chart = os.path.join(work, "built.ppm")
    report = drive_chart(wine_run, driver, exes["lorvane.exe"], rules, unpacked_chart,
                         os.path.join(work, "drive-unpacked.log"))
    if report is not None:
        check('window "Lorvane"' in report, "no chart window:\n" + report)
        if drive_chart(wine_run, driver, viewer, rules, built_chart,
                       os.path.join(work, "drive-built.log")) is not None:
            with open(built_chart, "rb") as f:
                built = f.read()
            with open(unpacked_chart, "rb") as f:
                check(f.read() == built, "the unpacked viewer's chart differs from the "
                      "test build's (%s, %s)" % (unpacked_chart, built_chart))
            # A double-click on the script: cmd.exe runs it and ends, the
            # viewer stays with the sample.
            script = '/c "%s\\Show the sample.cmd"' % windows_folder
            script_chart = os.path.join(work, "script.ppm")
            if drive_chart(wine_run, driver, "C:\\windows\\system32\\cmd.exe", script,
                           script_chart, os.path.join(work, "drive-script.log"),
                           "--launcher") is not None:
                with open(script_chart, "rb") as f:
                    check(f.read() == built, "the script's viewer shows another chart (%s)"
                          % script_chart)

    # The unpacked checker against the native one.
    code, windows_json = wine([exes["lorvane-check.exe"], "--json", rules],
                              os.path.join(work, "check-windows.json"))
    native = subprocess.run([native_check, "--json", os.path.join(folder, "RULES.TXT")],
                            capture_output=True, text=True, timeout=60)
    if check(code == 0 and native.returncode == 0, "checker exit codes: Windows %d, native %d"
             % (code, native.returncode)):
        for document in (json.loads(windows_json), json.loads(native.stdout)):
            check(not validate_json.faults(document), "the checker's JSON breaks its schema: %s"
                  % validate_json.faults(document)[:3])
        check(json.loads(windows_json) == json.loads(native.stdout),
              "the Windows checker's JSON differs from the native checker's")
    # The sample against its modified copy, the files' names aside.
    code, windows_diff = wine([exes["lorvane-check.exe"], "--json", "--diff", rules,
                               windows_folder + "\\RULES-MOD.TXT"],
                              os.path.join(work, "diff-windows.json"))
    native = subprocess.run([native_check, "--json", "--diff", os.path.join(folder, "RULES.TXT"),
                             os.path.join(folder, "RULES-MOD.TXT")],
                            capture_output=True, text=True, timeout=60)
    if check(code == 0 and native.returncode == 0, "--diff exit codes: Windows %d, native %d"
             % (code, native.returncode)):
        got, want = json.loads(windows_diff), json.loads(native.stdout)
        for document in (got, want):
            check(not validate_json.faults(document), "--diff's JSON breaks its schema: %s"
                  % validate_json.faults(document)[:3])
        for document in (got, want):
            document.pop("old")
            document.pop("new")
        check(got == want and want["summary"]["advances"]["added"] > 0,
              "the Windows checker's --diff differs from the native checker's")
    code, windows_version = wine([exes["lorvane-check.exe"], "--version"],
                                 os.path.join(work, "version-windows.txt"))
    native_version = subprocess.run([native_check, "--version"], capture_output=True, text=True)
    check(code == 0 and windows_version == native_version.stdout == "lorvane-check %s\n"
          % version, "--version: Windows %r, native %r" % (windows_version, native_version.stdout))



def main():
    if len(sys.argv) != 11 or sys.argv[1] not in ("archive", "run"):
        sys.exit(__doc__)
    mode, archive, version, objdump, native_check, wine_run, driver, viewer, version_info, work = \
        sys.argv[1:]
    if not os.path.isfile(archive):
        sys.exit("FAIL: no %s: scripts/release.sh makes it" % archive)
    if not os.access(native_check, os.X_OK):
        sys.exit("FAIL: no native checker %s: the native tier builds it" % native_check)
    top = "lorvane-%s-win32" % version

    # The archive as a Windows user unpacks it, into the prefix's C: drive.
    prefix = os.environ["WINEPREFIX"]
    unpacked = os.path.join(prefix, "drive_c", FOLDER)
    shutil.rmtree(unpacked, ignore_errors=True)
    with zipfile.ZipFile(archive) as z:
        names = sorted(n for n in z.namelist() if not n.endswith("/"))
        check(names == ["%s/%s" % (top, f) for f in FILES], "archive holds %s" % names)
        z.extractall(unpacked)
    folder = os.path.join(unpacked, top)
    windows_folder = "C:\\%s\\%s" % (FOLDER, top)
    os.makedirs(work, exist_ok=True)

    texts = {}
    for name in ["README.txt", "LICENSE.txt", "Show the sample.cmd"]:
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        check(data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n"),
              name + " does not have CR LF line ends throughout")
        texts[name] = data.decode("ascii").replace("\r\n", "\n")
    readme = re.sub(r"\s+", " ", texts["README.txt"])
    check("MIT License" in texts["LICENSE.txt"], "LICENSE.txt is not the MIT licence")
    check("Lorvane %s" % version in readme, "README.txt does not name version " + version)

    # The sample's page: what the checker writes for anyone, with its title.
    with open(os.path.join(folder, "RULES.html"), "rb") as f:
        page = f.read()
    # The title stands between the isolates that keep it apart from the page.
    title = re.search(rb"<title>&#x2068;(.*?)&#x2069;</title>", page)
    if check(title, "RULES.html has no title"):
        native_page = os.path.join(work, "RULES.html")
        subprocess.run([native_check, "--html", native_page, "--title", title.group(1).decode(),
                        os.path.join(folder, "RULES.TXT")], check=True, timeout=60)
        with open(native_page, "rb") as f:
            check(f.read() == page, "RULES.html differs from the native checker's page (%s)"
                  % native_page)

    # The page maker for any rules file: the web build's, first in README.txt.
    web = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "web",
                       "Lorvane.html")
    with open(os.path.join(folder, "Lorvane.html"), "rb") as f:
        check(os.path.isfile(web) and open(web, "rb").read() == f.read(),
              "Lorvane.html is not the web build's (%s)" % web)
    start = readme.split("Start here")[1].split("Lorvane shows")[0]
    check("open Lorvane.html and drop your RULES.TXT on it" in start,
          "README.txt's Start here does not open Lorvane.html")

    if mode == "archive":
        check_archive(folder, windows_folder, readme, objdump, version, version_info, work)
    else:
        run_unpacked(folder, windows_folder, native_check, wine_run, driver, viewer, version, work)

    if problems:
        sys.exit("%d problem(s) with %s" % (len(problems), archive))
    print("ok: %s unpacked to %s and run from there" % (os.path.basename(archive), windows_folder))


if __name__ == "__main__":
    main()
