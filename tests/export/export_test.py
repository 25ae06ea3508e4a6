"""lorvane-check --svg, --html and --route end to end, checked with Python's
own XML parser, JSON parser and Windows-1252 codec; and the viewer's chart
walk, read back from the SVG.
    python3 export_test.py CHECKER SOURCE_DIR WORK_DIR [unittest names...]
"""
import base64
import hashlib
import html
import json
import os
import re
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "check"))
import validate_json  # noqa: E402

SVG = "{http://www.w3.org/2000/svg}"
ASCENT = 11  # from the top of a text cell to its baseline, cells of 13


def run(*args):
    return subprocess.run([CHECKER, *args], capture_output=True)


def checked_json(text):
    """A JSON output, which must answer to its schema (docs/schema)."""
    document = json.loads(text)
    faults = validate_json.faults(document)
    if faults:
        raise AssertionError("\n".join(["the JSON output breaks its schema:"] + faults[:10]))
    return document


def rules(name, advances, units=b"Scout, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, nil, 0\n"):
    path = os.path.join(WORK, name)
    with open(path, "wb") as f:
        f.write(b"@CIVILIZE\n" + advances + b"@IMPROVE\n@UNITS\n" + units + b"@TERRAIN\n")
    return path


def as_drawn(raw):
    """Each byte through Windows-1252; undefined bytes and controls replaced."""
    return re.sub("[\x00-\x1f\x7f]", "\ufffd", raw.decode("cp1252", errors="replace"))


def walked(g, names):
    """The group's elements as the walk gives them: outlines, link ends and
    separators in whole pixels (the SVG has their middles), texts by the
    top of their cell."""
    calls = []
    for e in g[1:]:
        tag, kind = e.tag[len(SVG):], e.get("class")
        if tag == "rect":
            x, y, w, h = (float(e.get(k)) for k in ("x", "y", "width", "height"))
            calls.append("box %g %g %g %g" % (x - .5, y - .5, x + w + .5, y + h + .5))
        elif kind == "separator":
            calls.append("separator %s %g %s" % (e.get("x1"), float(e.get("y1")) - .5, e.get("x2")))
        elif tag == "line":
            ends = " ".join("%g" % (float(e.get(k)) - .5) for k in ("x1", "y1", "x2", "y2"))
            calls.append("%s link to %s %s" % (kind, names[int(e.get("data-to"))], ends))
        else:
            cell = "%s %d" % (e.get("x"), int(e.get("y")) - ASCENT)
            calls.append("unit %s %s|%s" % (cell, e.text, e[0].text) if kind == "unit" else
                         "%s %s %s" % (kind, cell, e.text))
    return calls


class Export(unittest.TestCase):
    def export(self, path, *options):
        name = os.path.join(WORK, self.id().split(".")[-1])
        svg, page = name + ".svg", name + ".html"
        result = run(*options, "--svg", svg, "--html", page, path)
        self.assertEqual(result.returncode, 0, result.stderr)
        # The page holds the same SVG element, and nothing from elsewhere.
        element = open(svg, encoding="utf-8").read().split("\n", 1)[1]
        text = open(page, encoding="utf-8").read()
        self.assertIn("<div id=\"chart\">\n" + element + "</div>\n", text)
        own = text.replace('xmlns="http://www.w3.org/2000/svg"', "").replace("http-equiv", "")
        self.assertNotIn("http", own)
        return ET.parse(svg).getroot()

    def walk(self, name, metrics):
        """The groups of the SVG, by name, as walked."""
        groups = self.export(os.path.join(SOURCE, name), "--metrics", metrics).findall(SVG + "g")
        names = {int(g.get("id")[1:]): g.find(SVG + "text").text for g in groups}
        return {names[int(g.get("id")[1:])]: walked(g, names) for g in groups}

    def test_walk_of_the_small_fixture_and_the_sample(self):
        small = self.walk("tests/check/fixtures/small.txt", "9,13,0")
        for name, calls in [
                ("Primary Root", ["box 355 7 480 45", "name 359 12 Primary Root",
                                  "detail 359 26 Ancient Military (0, 0)"]),
                # One line for both links to the root, its second dependant of six.
                ("Stone Tools", ["box 5 137 130 240", "near link to Primary Root 65 136 411 44",
                                 "name 9 142 Stone Tools", "detail 9 156 Ancient Military (1, 0)",
                                 "separator 5 175 130", "unit 9 182 Militia| 10c",
                                 "detail 9 195  1a 1d 1(0)m 10h 1f Def", "unit 9 208 Spearmen| 20c",
                                 "detail 9 221  2a 1d 1(0)m 10h 1f Atk/M"]),
                # Near one level up, far two levels up.
                ("Harbour", ["box 92 332 217 409", "near link to River Boats 152 331 767 239",
                             "far link to Primary Root 156 331 407 44", "name 96 337 Harbour",
                             "detail 96 351 Industrial Economic (7, -2)", "separator 92 370 217",
                             "unit 96 377 Barge| 40c",
                             "detail 96 390  0a 1d 3(0)m 10h 1f Trn2/s2"]),
                # The second of Counting's two dependants; a separator without units.
                ("Star Maps", ["box 617 332 742 409", "near link to Counting 677 331 594 239",
                               "name 621 337 Star Maps", "detail 621 351 Modern Academic (1, 3)",
                               "separator 617 370 742"])]:
            self.assertEqual(small[name], calls)
        # The root alone, centred on the widest row of 8; the first box of
        # that row, far up to Oared Galleys (its only dependant, so the end
        # is the middle of its box), near up to Geometry.
        sample = self.walk("data/RULES.TXT", "11,13,0")
        self.assertEqual(sample["Primary Root"][0], "box 755 7 908 136")
        self.assertEqual(sample["Sail Rigging"][:3], [
            "box 6 1125 159 1202", "far link to Oared Galleys 80 1124 938 863",
            "near link to Geometry 85 1124 928 1032"])

    def test_svg_matches_the_checkers_records(self):
        for name in ("tests/check/fixtures/small.txt", "data/RULES.TXT"):
            path = os.path.join(SOURCE, name)
            records = checked_json(run("--json", "--metrics", "11,13,0", path).stdout)
            advances, units = records["advances"], records["units"]
            root = self.export(path)
            size = tuple(str(records["metrics"][k]) for k in ("ChartWidth", "ChartHeight"))
            self.assertEqual((root.get("width"), root.get("height"), root.get("viewBox")),
                             size + ("0 0 %s %s" % size,))
            # Row by row, each in list order: the viewer's drawing order.
            groups = root.findall(SVG + "g")
            self.assertEqual([int(g.get("id")[1:]) for g in groups],
                             sorted(range(len(advances)), key=lambda i: (advances[i]["level"], i)))
            for g in groups:
                i = int(g.get("id")[1:])
                a = advances[i]
                prereqs = tuple(None if p is None else str(p) for p in (a["prereq1"], a["prereq2"]))
                attributes = [g.get(k) for k in ("data-code", "data-level", "data-epoch",
                                                 "data-category", "data-prereq1", "data-prereq2")]
                self.assertEqual(attributes, [a["code"], str(a["level"]), str(a["epoch"]),
                                              str(a["category"]), *prereqs])
                # One line per distinct prerequisite above level 0: red one
                # level up, blue further.
                expected = [("near" if advances[int(p)]["level"] == a["level"] - 1 else "far",
                             str(i), p) for p in dict.fromkeys(prereqs if a["level"] > 0 else ())]
                links = [(l.get("class"), l.get("data-from"), l.get("data-to"))
                         for l in g.findall(SVG + "line") if l.get("class") != "separator"]
                self.assertEqual(links, expected, a["name"])
                texts = g.findall(SVG + "text")
                self.assertEqual((g[0].text.split("\n")[0], texts[0].get("class"), texts[0].text),
                                 ("%s [%s], level %d" % (a["name"], a["code"], a["level"]), "name",
                                  a["name"]))
                self.assertEqual(
                    [(t.text, t[0].text, f.text) for t, f in zip(texts[2::2], texts[3::2])],
                    [(units[u]["name"], units[u]["costText"], units[u]["figuresLine"])
                     for u in a["units"]])

    def test_hostile_names_stay_well_formed(self):
        names = [b"A<b>&c\"d'e", b"&amp;&#0;]]>", b"C\x01\x02\x0b\x0c\x1b\x1f\x7fZ"]
        names += [bytes(range(start, start + 16)) for start in range(0x80, 0x100, 16)]
        lines = b"".join(n + b", 1, 0, nil, nil, 0, 0 ; C%02d\n" % k for k, n in enumerate(names))
        unit = b"\x80<Unit>&\x9d, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, C00, 0\n"
        unit += b"</script><!--, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, C00, 0\n"
        lines += b"Q, 1, 0, nil, nil, 0, 0 ; <&\"\n"
        groups = self.export(rules("hostile.txt", lines, unit)).findall(SVG + "g")
        self.assertEqual([g.find(SVG + "text").text for g in groups[1:]],
                         [as_drawn(n[:19]) for n in names] + ["Q"])
        self.assertEqual(groups[-1].get("data-code"), '<&"')
        self.assertEqual(groups[1].findall(SVG + "text")[2].text, "\u20ac<Unit>&\ufffd")
        # The units table's data, which the page carries in a script element
        # of its own: no name ends that element, each row is --units --json's.
        page = open(os.path.join(WORK, "test_hostile_names_stay_well_formed.html"),
                     encoding="utf-8").read()
        data = re.search(r'<script type="application/json" id="units-rows">(.*?)</script>', page)
        self.assertNotIn("<", data.group(1))
        units = checked_json(run("--units", "--json", os.path.join(WORK, "hostile.txt")).stdout)
        self.assertEqual([(row[0], row[1], row[14]) for row in json.loads(data.group(1))],
                         [(u["prereq"], u["name"], u["code"]) for u in units["units"]])

    def test_route(self):
        # A diamond whose foot shares its code with a later advance; Stray's
        # missing link leaves it at level 0, on Base still.
        path = rules("routes.txt", b"".join(b"%s, 1, 0, %s, 0, 0 ; %s\n" % line for line in [
            (b"Top", b"nil, nil", b"Top"), (b"Left", b"Top, Top", b"Lef"),
            (b"Right", b"Top, nil", b"Rig"), (b"Bottom", b"Lef, Rig", b"Bot"),
            (b"Stray", b"Bas, Zzz", b"Str"), (b"Base", b"nil, nil", b"Bas"),
            (b"Tail", b"Str, nil", b"Tai"), (b"Bottom Twin", b"nil, nil", b"Bot")]))
        for code, route in [("Bot", [1, 2, 3, 4]), ("Str", [6, 5]), ("TAIL", [5, 6, 7])]:
            result = run("--json", "--route", code, path)
            self.assertEqual(checked_json(result.stdout), {"target": route[-1], "route": route[:-1]})
        # The same order as text, one a line with code and level, then the count.
        for code, out in [("Bot", "Top [Top], level 1\nLeft [Lef], level 2\nRight [Rig], level 2\n"
                                  "Bottom [Bot], level 3\nBottom: 3 advances to research first\n"),
                          ("Str", "Base [Bas], level 1\nStray [Str], level 0\n"
                                  "Stray: 1 advance to research first\n")]:
            result = run("--route", code, path)
            self.assertEqual((result.returncode, result.stdout.decode()), (0, out))
        for args in (["--route", "bot"], ["--json", "--route", "bot"]):
            result = run(*args, path)
            self.assertEqual((result.returncode, result.stdout, result.stderr.decode()),
                             (4, b"", 'lorvane-check: no advance has the code or the name "bot"; '
                              'did you mean Bot (Bottom)?\n'))

    def test_boxes_named_and_texts_squeezed_to_their_box(self):
        # A name that fits, one too long for any browser's font, a unit line
        # that only fits without its cost; the same prerequisite twice.
        path = rules("fit.txt", b"Short, 1, 0, nil, nil, 0, 0 ; Sho\n"
                     b"WWWWWWWWWWWWWWWWWWW, 1, 0, Sho, Sho, 2, 4 ; Wid\n",
                     b"MMMMMMMMMMMMMM, Sho, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Sho, 0\n")
        groups = self.export(path).findall(SVG + "g")
        cases = [(groups[1], "Short, Ancient, Military, level 1", [None, None, "146", None]),
                 (groups[2], "WWWWWWWWWWWWWWWWWWW, Industrial, Applied, level 2", ["146", None])]
        for g, label, lengths in cases:
            self.assertEqual((g.get("tabindex"), g.get("role"), g.get("aria-label")),
                             ("0", "button", label))
            texts = g.findall(SVG + "text")
            self.assertEqual([t.get("textLength") for t in texts], lengths, label)
            for t in texts:
                if t.get("textLength"):
                    self.assertEqual(t.get("lengthAdjust"), "spacingAndGlyphs")
        self.assertEqual(groups[2][0].text.split("\n")[1], "prerequisites: Short")

    def test_page_title_counts_warnings_and_policy(self):
        small = os.path.join(SOURCE, "tests/check/fixtures/small.txt")
        broken = rules("warned.txt", b"Alpha, 1, 0, nil, Zzz, 0, 0 ; Alp\n"
                       b"Beta, 1, 0, Alp, nil, 0, 9 ; Bet\nGamma, 1, 0, nil, nil, 0, 0 ; Alp\n")
        escaped = rules("t\x1b[31m.txt", b"Alpha, 1, 0, nil, nil, 0, 0 ; Alp\n")
        page_path = os.path.join(WORK, "test_page_title_counts_warnings_and_policy.html")
        # The file's name by default; a title given is escaped; bytes that
        # are no UTF-8 read as Windows-1252, as the rules' own texts.
        for path, options, title in [(small, [], "small.txt"),
                                     (small, ["--title", "A <b> & \"Été\""],
                                      "A &lt;b&gt; &amp; &quot;Été&quot;"),
                                     (small, ["--title", b"Caf\xe9 \x80"], "Café €"),
                                     # An overlong form and a surrogate are no UTF-8.
                                     (small, ["--title", b"\xc0\xaf"], "\u00c0\u00af"),
                                     (small, ["--title", b"\xed\xa0\x80"], "\u00ed\u00a0\u20ac"),
                                     # Controls, also C1 in UTF-8, cannot steer a terminal;
                                     # an override stays within the title.
                                     (small, ["--title", b"T\x1b[31m\xc2\x9b1m"],
                                      "T\ufffd[31m\ufffd1m"),
                                     (escaped, [], "t\ufffd[31m.txt"),
                                     (small, ["--title", "R\u202eL"], "R\u202eL"),
                                     (broken, [], "warned.txt")]:
            self.export(path, *options)
            page = open(page_path, encoding="utf-8").read()
            records = checked_json(run("--json", path).stdout)
            counts = [(len(records["advances"]) - 1, "advance"),
                      (max(a["level"] for a in records["advances"]), "level"),
                      (len(records["units"]), "unit")]
            counts = ", ".join("%d %s%s" % (n, word, "" if n == 1 else "s") for n, word in counts)
            heading = "<h1><bdi>%s</bdi> <small id=\"counts\">%s</small>" % (title, counts)
            self.assertTrue("<title>&#x2068;%s&#x2069;</title>" % title in page and heading in page,
                            heading)
            # The warnings as --json has them, each with its advance.
            listed = re.search(r'<ul id="warnings">\n(.*?)</ul>\n(<p>No warnings</p>)?', page, re.S)
            items = [re.match(r'<li(?: data-index="(\d+)")?>(.*)</li>$', item).groups()
                     for item in listed.group(1).splitlines()]
            self.assertEqual([(None if i is None else int(i), html.unescape(text))
                              for i, text in items],
                             [(d.get("advance"), d["message"]) for d in records["diagnostics"]])
            self.assertEqual([d["message"] for d in records["diagnostics"]], records["warnings"])
            self.assertEqual(listed.group(2) is not None, records["warnings"] == [])
            # Only the page's own script and styles, by their hashes.
            policy = re.search(r'Content-Security-Policy" content="([^"]*)"', page).group(1)
            digest = lambda text: "'sha256-%s'" % base64.b64encode(
                hashlib.sha256(text.encode()).digest()).decode()
            scripts = re.findall(r"<script>(.*?)</script>", page, re.S)
            styles = re.findall(r"<style>(.*?)</style>", page, re.S)
            self.assertEqual(policy, "default-src 'none'; script-src %s; style-src %s" % (
                " ".join(map(digest, scripts)), " ".join(map(digest, styles))))
            self.assertNotRegex(page, r"<[^>]* on[a-z]+=")
        self.assertNotEqual(records["warnings"], [])
        result = run("--title", "T", small)
        self.assertEqual((result.returncode, result.stderr.decode().splitlines()[0]),
                         (2, "lorvane-check: --title goes with --html"))

    def test_page_lists_the_first_thousand_warnings(self):
        # 250 advances with four faults each, then warnings past the list's
        # end: an advance and a unit not named yet (their advances in
        # data-warned), a unit of a listed advance, a unit of none.
        parent = [b"nil"] + [b"C%02x" % ((k - 1) // 2) for k in range(1, 252)]
        lines = [b"Adv %d, 1x, 1x, %s, %s, 0x, 0x ; C%02x\n" % (k, parent[k], parent[k], k)
                 for k in range(250)]
        lines += [b"Adv 250, 1x, 0, C7c, C7c, 0, 0 ; Cfa\n", b"Adv 251, 1, 0, C7d, C7d, 0, 0 ; Cfb\n"]
        units = b"".join(b"Unit %s, nil, 0, 1x, 0, 1, 1, 10, 1, 1, 0, 0, %s, 0\n" % (name, code)
                         for name, code in [(b"A", b"C00"), (b"B", b"Cfb"), (b"C", b"Zzz")])
        path = rules("many-warnings.txt", b"".join(lines), units)
        page_path = os.path.join(WORK, "many-warnings.html")
        self.assertEqual(run("--html", page_path, path).returncode, 0)
        page = open(page_path, encoding="utf-8").read()
        diagnostics = checked_json(run("--json", path).stdout)["diagnostics"]
        self.assertEqual(len(diagnostics), 1005)
        listed = re.search(r'<ul id="warnings"(?: data-warned="([0-9 ]*)")?>\n(.*?)</ul>\n'
                           r'(<p id="warnings-more">.*?</p>\n)?', page, re.S)
        items = [re.match(r'<li(?: data-index="(\d+)")?>(.*)</li>$', item).groups()
                 for item in listed.group(2).splitlines()]
        self.assertEqual([(None if i is None else int(i), html.unescape(text)) for i, text in items],
                         [(d.get("advance"), d["message"]) for d in diagnostics[:1000]])
        self.assertEqual(listed.group(1), "251 252")
        self.assertEqual(listed.group(3), '<p id="warnings-more">and 5 more (see '
                         "<code>lorvane-check --json</code>)</p>\n")

    def test_nothing_written_on_failure(self):
        svg, page = os.path.join(WORK, "kept.svg"), os.path.join(WORK, "new.html")
        with open(svg, "w") as f:
            f.write("earlier")
        refused = os.path.join(SOURCE, "tests/hostile/files/cycle-2-seed.txt")
        result = run("--svg", svg, "--html", page, refused)
        self.assertEqual((result.returncode, result.stderr.decode()),
                         (1, refused + ':4: error: Advance "Egg" depends on itself through its '
                          'prerequisites: Egg [Egg] -> Hen [Hen] -> Egg [Egg]\n'))
        self.assertEqual((open(svg).read(), os.path.exists(page)), ("earlier", False))
        small = os.path.join(SOURCE, "tests/check/fixtures/small.txt")
        missing = os.path.join(WORK, "no-such-folder", "chart.svg")
        result = run("--svg", missing, small)
        message = "lorvane-check: cannot write %s: No such file or directory\n" % missing
        self.assertEqual((result.returncode, result.stderr.decode()), (1, message))
        self.assertEqual(run("--svg", svg, small).returncode, 0)
        self.assertTrue(open(svg).read().endswith("</svg>\n"))
        self.assertEqual([n for n in os.listdir(WORK) if n.endswith(".tmp")], [])


if __name__ == "__main__":
    CHECKER, SOURCE, WORK = sys.argv[1:4]
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
