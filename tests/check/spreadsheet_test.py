#!/usr/bin/env python3
"""The units CSV opened by a real spreadsheet program: Gnumeric's ssconvert
imports lorvane-check --units --csv of a file whose names and codes look
like formulas, and writes the sheet as Gnumeric's XML, where a formula is
a cell without a value type. No cell may be one; every cell must hold what
--units --json holds, names as written and numbers (negative ones too) as
numbers. Python's own csv module reads the file as RFC 4180 data, where
each text cell that would start a formula carries its leading "'".

  spreadsheet_test.py CHECKER SSCONVERT
"""
import csv
import gzip
import io
import json
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "hostile"))
from run_case import check_schema  # noqa: E402

# Names and codes a spreadsheet would take for formulas, a quote for RFC
# 4180, and a name outside ASCII (Windows-1252, as the game reads it).
RULES = b"""@CIVILIZE
Stone, 1, 0, nil, nil, 0, 0 ; =G1
+Plus, 1, 0, =G1, nil, 0, 0 ; @A
-Minus, 1, 0, nil, nil, 0, 0 ; -X
@IMPROVE
@UNITS
=cmd|' /C calc'!A0, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, =G1, 0
+1+1, nil, 0, 1, 0, -5, -1, 10, 1, -2, -1, 1, @A, 0
-2+3, nil, -1, -3, 0, 1, 1, 10, 1, 1, 0, 1, -X, 0
@SUM(A1), nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, =Zz, 0
=HYPERLINK("x"), nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, =G1, 100
Caf\xe9, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, =G1, 0
Odd "Q", nil, 2, 3, 0, 1, 1, 10, 1, 4, 2, 4, -X, 0
@TERRAIN
"""
GNUMERIC = "{http://www.gnumeric.org/v10.dtd}"
NUMBER, TEXT = "40", "60"  # Gnumeric's value types
FORMULA_START = "=+-@\t\r"


def fail(problem):
    print("FAIL units-csv-spreadsheet: " + problem)
    sys.exit(1)


def main():
    checker, ssconvert = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as folder:
        rules = os.path.join(folder, "rules.txt")
        with open(rules, "wb") as f:
            f.write(RULES)
        table = json.loads(subprocess.run([checker, "--units", "--json", rules], check=True,
                                          stdout=subprocess.PIPE).stdout)
        check_schema("units-csv-spreadsheet", table)
        units = table["units"]
        data = subprocess.run([checker, "--units", "--csv", rules], check=True,
                              stdout=subprocess.PIPE).stdout
        if not data.startswith(b"\xef\xbb\xbf"):
            fail("the CSV does not begin with a UTF-8 byte order mark")
        sheet = os.path.join(folder, "units.csv")
        with open(sheet, "wb") as f:
            f.write(data)
        book = os.path.join(folder, "units.gnumeric")
        subprocess.run([ssconvert, "--import-type=Gnumeric_stf:stf_csvtab",
                        "--export-type=Gnumeric_XmlIO:sax", sheet, book], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with gzip.open(book) as f:
            cells = ET.parse(f).getroot().iter(GNUMERIC + "Cell")
            imported = {(int(c.get("Row")), int(c.get("Col"))): c for c in cells}

    rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
    keys = list(units[0].keys())[:-1]  # every column; "prereq" is JSON's own
    if len(rows) != len(units) + 1 or any(len(r) != len(keys) for r in rows):
        fail("the CSV has %d rows, expected %d of %d fields" % (len(rows), len(units) + 1,
                                                                len(keys)))
    for (row, col), cell in imported.items():
        if cell.get("ValueType") is None:
            fail("row %d, column %d became the formula %r" % (row, col, cell.text))
    for col, heading in enumerate(rows[0]):
        cell = imported.get((0, col))
        if cell is None or cell.get("ValueType") != TEXT or cell.text != heading:
            fail("the heading %r came in as %r" % (heading, cell is not None and cell.text))
    for row, unit in enumerate(units, 1):
        for col, key in enumerate(keys):
            value = unit[key]
            cell = imported.get((row, col))
            written = rows[row][col]
            where = "unit %d, %s" % (row, key)
            if isinstance(value, int):
                if written != str(value):
                    fail("%s: the CSV holds %r, not the number %d" % (where, written, value))
                if cell is None or cell.get("ValueType") != NUMBER or float(cell.text) != value:
                    fail("%s: %d came in as %r" % (where, value, cell is not None and cell.text))
                continue
            text = value or ""
            marked = "'" + text if text[:1] and text[0] in FORMULA_START else text
            if written != marked:
                fail("%s: the CSV holds %r, expected %r" % (where, written, marked))
            if text == "":
                if cell is not None:
                    fail("%s: an empty cell came in as %r" % (where, cell.text))
            elif cell is None or cell.get("ValueType") != TEXT or cell.text != text:
                fail("%s: %r came in as %r" % (where, text, cell is not None and cell.text))
    names = [u["name"] for u in units]
    for name in ["=cmd|' /C calc'!A0", "+1+1", "-2+3", "@SUM(A1)", '=HYPERLINK("x")', "Café"]:
        if name not in names:
            fail("the units have no %r: %r" % (name, names))
    print("ok units-csv-spreadsheet: %d units, %d cells" % (len(units), len(imported)))


if __name__ == "__main__":
    main()
