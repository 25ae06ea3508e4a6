"""lorvane-check --svg, --html and --route end to end, checked with Python's
own XML parser, JSON parser and Windows-1252 codec.

    python3 export_test.py CHECKER SOURCE_DIR WORK_DIR [unittest names...]
"""
import json
import os
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

CHECKER = SOURCE = WORK = ""
SVG = "{http://www.w3.org/2000/svg}"


def run(*args):
    return subprocess.run([CHECKER, *args], capture_output=True)


def rules(name, advances, units=b"Scout, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, nil, 0\n"):
    """A rules file of our own in the work folder; lines as bytes."""
    path = os.path.join(WORK, name)
    with open(path, "wb") as f:
        f.write(b"@CIVILIZE\n" + advances + b"@IMPROVE\n@UNITS\n" + units + b"@TERRAIN\n")
    return path


def as_drawn(raw):
    """What a name reads as in the chart: each byte through Windows-1252,
    undefined bytes and control characters replaced."""
    out = ""
    for b in raw:
        try:
            c = bytes([b]).decode("cp1252")
        except UnicodeDecodeError:
            c = "\ufffd"
        out += "\ufffd" if b < 0x20 or b == 0x7F else c
    return out


class Export(unittest.TestCase):
    def export(self, path, *options):
        svg = os.path.join(WORK, self.id().split(".")[-1] + ".svg")
        result = run(*options, "--svg", svg, path)
        self.assertEqual(result.returncode, 0, result.stderr)
        return ET.parse(svg).getroot()

    def test_svg_matches_the_checkers_records(self):
        for path in (os.path.join(SOURCE, "tests/check/fixtures/small.txt"),
                     os.path.join(SOURCE, "data/RULES.TXT")):
            report = run("--json", "--metrics", "11,13,0", path)
            self.assertEqual(report.returncode, 0)
            records = json.loads(report.stdout)
            advances, units = records["advances"], records["units"]
            root = self.export(path)
            metrics = records["metrics"]
            width, height = str(metrics["ChartWidth"]), str(metrics["ChartHeight"])
            self.assertEqual((root.get("width"), root.get("height"), root.get("viewBox")),
                             (width, height, "0 0 %s %s" % (width, height)))
            groups = root.findall(SVG + "g")
            self.assertEqual(len(groups), len(advances))
            for g in groups:
                i = int(g.get("id")[1:])
                a = advances[i]
                self.assertEqual(g.get("class"), "advance")
                self.assertEqual((g.get("data-code"), int(g.get("data-level"))),
                                 (a["code"], a["level"]))
                self.assertEqual((g.get("data-prereq1"), g.get("data-prereq2")),
                                 tuple(None if p is None else str(p)
                                       for p in (a["prereq1"], a["prereq2"])))
                self.assertEqual(g[0].tag, SVG + "title")
                self.assertTrue(g[0].text.startswith(a["name"] + " [" + a["code"] + "]"))
                self.assertEqual(len(g.findall(SVG + "rect")), 1)
                # One line per distinct prerequisite above level 0, in the
                # dependant's group, red one level up and blue further up.
                expected = []
                if a["level"] > 0:
                    for p in dict.fromkeys((a["prereq1"], a["prereq2"])):
                        near = advances[p]["level"] == a["level"] - 1
                        expected.append(("near" if near else "far", str(i), str(p)))
                links = [(l.get("class"), l.get("data-from"), l.get("data-to"))
                         for l in g.findall(SVG + "line") if l.get("class") != "separator"]
                self.assertEqual(links, expected, a["name"])
                texts = g.findall(SVG + "text")
                self.assertEqual((texts[0].get("class"), texts[0].text), ("name", a["name"]))
                drawn = [(t.text, "".join(s.text for s in t)) for t in texts[2::2]]
                self.assertEqual(drawn, [(units[u]["name"], units[u]["costText"])
                                         for u in a["units"]])
                self.assertEqual([t.text for t in texts[3::2]],
                                 [units[u]["figuresLine"] for u in a["units"]])

    def test_page_embeds_the_same_svg(self):
        path = os.path.join(SOURCE, "tests/check/fixtures/small.txt")
        svg, page = os.path.join(WORK, "same.svg"), os.path.join(WORK, "same.html")
        self.assertEqual(run("--svg", svg, "--html", page, path).returncode, 0)
        element = open(svg, encoding="utf-8").read().split("\n", 1)[1]
        text = open(page, encoding="utf-8").read()
        self.assertIn("\n" + element + "<script>", text)
        self.assertNotIn("http", text.replace('xmlns="http://www.w3.org/2000/svg"', ""))

    def test_hostile_names_stay_well_formed(self):
        names = [b"A<b>&c\"d'e", b"&amp;&#0;]]>", b"C\x01\x02\x0b\x0c\x1b\x1f\x7fZ"]
        names += [bytes(range(start, start + 16)) for start in range(0x80, 0x100, 16)]
        lines = b"".join(n + b", 1, 0, nil, nil, 0, 0 ; C%02d\n" % k for k, n in enumerate(names))
        lines += b"Quoted, 1, 0, nil, nil, 0, 0 ; <&\"\n"
        path = rules("hostile.txt", lines, b"\x80<Unit>&\x9d, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, C00, 0\n")
        root = self.export(path)
        groups = root.findall(SVG + "g")
        shown = [g.find(SVG + "text").text for g in groups[1:]]
        self.assertEqual(shown, [as_drawn(n[:19]) for n in names] + ["Quoted"])
        self.assertEqual(groups[-1].get("data-code"), '<&"')
        unit = groups[1].findall(SVG + "text")[2]
        self.assertEqual(unit.text, "\u20ac<Unit>&\ufffd")
        self.assertIn("units: \u20ac<Unit>&\ufffd", groups[1].find(SVG + "title").text)

    def test_route(self):
        diamond = rules("diamond.txt",
                        b"Top, 1, 0, nil, nil, 0, 0 ; Top\n"
                        b"Left, 1, 0, Top, Top, 0, 0 ; Lef\n"
                        b"Right, 1, 0, Top, nil, 0, 0 ; Rig\n"
                        b"Bottom, 1, 0, Lef, Rig, 0, 0 ; Bot\n"
                        # A missing link leaves Stray at level 0, on Base still.
                        b"Stray, 1, 0, Bas, Zzz, 0, 0 ; Str\n"
                        b"Base, 1, 0, nil, nil, 0, 0 ; Bas\n"
                        b"Tail, 1, 0, Str, nil, 0, 0 ; Tai\n"
                        b"Bottom Twin, 1, 0, nil, nil, 0, 0 ; Bot\n")
        cases = [
            ("Bot", ["Top [Top], level 1", "Left [Lef], level 2", "Right [Rig], level 2",
                     "Bottom [Bot], level 3", "Bottom: 3 advances to research first"]),
            ("bottom twin", ["Bottom Twin [Bot], level 1",
                             "Bottom Twin: 0 advances to research first"]),
            ("Str", ["Base [Bas], level 1", "Stray [Str], level 0",
                     "Stray: 1 advance to research first"]),
            ("TAIL", ["Stray [Str], level 0", "Base [Bas], level 1", "Tail [Tai], level 1",
                      "Tail: 2 advances to research first"]),
            ("nil", ["Primary Root [nil], level 0", "Primary Root: 0 advances to research first"]),
        ]
        for code, lines in cases:
            result = run("--route", code, diamond)
            self.assertEqual((result.returncode, result.stderr), (0, b""), code)
            self.assertEqual(result.stdout.decode().splitlines(), lines, code)
        for code in ("bot", "Nothing"):
            result = run("--route", code, diamond)
            self.assertEqual((result.returncode, result.stdout), (4, b""), code)
            self.assertEqual(result.stderr.decode(),
                             'lorvane-check: no advance has the code or the name "%s"\n' % code)

    def test_nothing_written_on_failure(self):
        svg, page = os.path.join(WORK, "kept.svg"), os.path.join(WORK, "new.html")
        with open(svg, "w") as f:
            f.write("earlier")
        if os.path.exists(page):
            os.remove(page)
        refused = os.path.join(SOURCE, "tests/check/fixtures/refused/cycle.txt")
        result = run("--svg", svg, "--html", page, refused)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, b'Advance "Egg" depends on itself through its prerequisites\n')
        self.assertEqual(open(svg).read(), "earlier")
        self.assertFalse(os.path.exists(page))
        # A target that cannot be written; an existing one is replaced whole.
        small = os.path.join(SOURCE, "tests/check/fixtures/small.txt")
        missing = os.path.join(WORK, "no-such-folder", "chart.svg")
        result = run("--svg", missing, small)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(),
                         "lorvane-check: cannot write %s: No such file or directory\n" % missing)
        self.assertEqual(run("--svg", svg, small).returncode, 0)
        self.assertTrue(open(svg).read().startswith("<?xml"))
        self.assertEqual([n for n in os.listdir(WORK) if n.endswith(".tmp")], [])


if __name__ == "__main__":
    CHECKER, SOURCE, WORK = sys.argv[1:4]
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)
