#!/usr/bin/env python3
"""Stages the hostile corpus in one directory: copies the hand-written files
of tests/hostile/files and writes the generated ones (binary, large, or one
of a family), and makes the directory that is given as a rules file path.

Usage: corpus.py OUT_DIR [--max-size BYTES]
  --max-size  leave out generated files larger than this (fuzz seeds)
"""
import os
import random
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "..", "data", "RULES.TXT")

ADVANCES = (b"Alpha Study, 3, 1, nil, nil, 0, 3 ; Alp\n"
            b"Beta Craft, 2, 0, Alp, nil, 0, 1 ; Bet\n"
            b"Gamma Works, 4, 2, Alp, Bet, 1, 2 ; Gam\n")
UNITS = (b"Field Crew, nil, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, Alp, 000000000000010\n"
         b"Scout Boat, nil, 2, 3, 0, 1, 1, 10, 1, 4, 2, 4, Gam, 100000000000001\n")

# The advance and unit lines whose delimiters go missing one at a time.
DELIM_ADVANCE = b"Gamma Works, 4, 2, Alp, nil, 1, 2 ; Gam"
DELIM_UNIT = b"Field Crew, Old, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, Alp, 000000000000010"


def rules(advances=ADVANCES, units=UNITS, before=b"", between=b"", after=b"", nl=b"\n"):
    """A rules file with both sections, line ends nl."""
    text = (before + b"@CIVILIZE\n" + advances + b"@IMPROVE\n" + between + b"@UNITS\n" +
            units + b"@TERRAIN\n" + after)
    return text.replace(b"\n", nl)


def drop_delimiter(line, delimiter, index):
    """The line without its index-th (from 1) delimiter."""
    at = -1
    for _ in range(index):
        at = line.index(delimiter, at + 1)
    return line[:at] + line[at + 1:]


def junk(seed, size, exclude=b""):
    rng = random.Random(seed)
    out = bytearray()
    while len(out) < size:
        b = rng.randrange(256)
        if bytes([b]) not in exclude:
            out.append(b)
    return bytes(out)


def chain(count, reverse=False, name="Step"):
    """count advances, each needing the one before: levels 1 to count."""
    lines = []
    for i in range(1, count + 1):
        prereq = b"nil" if i == 1 else b"S%02d" % (i - 1)
        lines.append(b"%s %d, 1, 0, %s, %s, 0, 0 ; S%02d\n" %
                     (name.encode(), i, prereq, prereq, i % 100))
    if reverse:
        lines.reverse()
    return b"".join(lines)


def ring(count):
    """count advances in one prerequisite cycle."""
    lines = []
    for i in range(count):
        lines.append(b"Ring %d, 1, 0, R%02d, nil, 0, 0 ; R%02d\n" % (i, (i + 1) % count, i))
    return b"".join(lines)


def hub_file(dependants, hub_units, root_dependants, root_units):
    """An advance "Hub" with the given numbers of dependants and units, and
    the root with as many "nil" dependants and units."""
    adv = [b"Hub, 1, 0, nil, nil, 0, 0 ; Hub\n"]
    adv += [b"Leaf %d, 1, 0, nil, nil, 0, 0 ; L%02d\n" % (i, i) for i in range(root_dependants - 1)]
    adv += [b"Twig %d, 1, 0, Hub, Hub, 1, 1 ; T%02d\n" % (i, i) for i in range(dependants)]
    uni = [b"Hub Unit %d, nil, 0, 1, 0, 1, 1, 10, 1, 2, 0, 0, Hub, 1\n" % i
           for i in range(hub_units)]
    uni += [b"Root Unit %d, nil, 1, 1, 0, 1, 1, 10, 1, 2, 0, 3, nil, 10\n" % i
            for i in range(root_units)]
    return rules(b"".join(adv), b"".join(uni))


def sample_with(*changes):
    """The sample with each (old, new) of changes made once, as a modder
    makes them in a text editor."""
    with open(SAMPLE, "rb") as f:
        text = f.read()
    for old, new in changes:
        assert text.count(old) == 1, old
        text = text.replace(old, new)
    return text


# One mistake of a modder a file, each a warning of the checker.
HERDING = b"Herding,              4,  0, nil, nil, 0, 1 ; Hrd"
KNIGHTS = b"Knights,             Con, 0,  2, 0,  4,  2, 10, 1,  4, 0, 0, Kni, 000000000000000"
SAMPLE_MISTAKES = {
    "mod-number-word": [(HERDING, HERDING.replace(b" 4,", b" five,"))],
    "mod-number-suffix": [(KNIGHTS, KNIGHTS.replace(b"  4,  2,", b"  5x,  2,"))],
    "mod-number-empty": [(KNIGHTS, KNIGHTS.replace(b"1,  4, 0,", b"1,   , 0,"))],
    "mod-number-range": [(HERDING, HERDING.replace(b" 4,", b" 3000000000,"))],
    "mod-flags": [(b"000000000100000", b"00000000200000")],
    "mod-name-blank": [(b"Herding,", b"Herding ,")],
    "mod-unit-blank": [(KNIGHTS, KNIGHTS.replace(b"Knights,", b"Knights ,"))],
    "mod-indented-comment": [(HERDING, b"  ; " + HERDING)],
    "mod-obsolete": [(KNIGHTS, KNIGHTS.replace(b"Con,", b"Cnx,"))],
    "mod-unit-twice": [(b"Warband,", b"Knights,")],
    "mod-utf8": [(b"Herding,  ", "\u00c9levage,  ".encode())],
    "mod-utf8-bom": [(b"; RULES.TXT", b"\xef\xbb\xbf; RULES.TXT"),
                     (b"Herding,  ", "\u00c9levage,  ".encode())],
    # A byte order mark before Windows-1252 names: no name to show.
    "mod-bom-ansi": [(b"; RULES.TXT", b"\xef\xbb\xbf; RULES.TXT"), (b"Herding,  ", b"\xc9levage,  ")],
    "mod-utf8-long": [(b"Herding,              ", "\u00c9levage des chevaux, ".encode())],
    "mod-typo": [(b"Steam Frigates,       5,  0, Stm,", b"Steam Frigates,       5,  0, stm,")],
    # Clockworks after Steam Pumps, which needs it: refused. With its other
    # prerequisite a code that names nothing, it stands on level 0 and the
    # loop passes.
    "mod-cycle": [(b"Lns, Wmi, 2, 4 ; Clk", b"Stm, Wmi, 2, 4 ; Clk")],
    "mod-loop": [(b"Lns, Wmi, 2, 4 ; Clk", b"Stm, Wmx, 2, 4 ; Clk")],
}


def generated():
    files = {}
    for name, changes in SAMPLE_MISTAKES.items():
        files[name + ".txt"] = sample_with(*changes)
    files["garbage.bin"] = junk(1, 4096)
    files["garbage-around.bin"] = rules(before=junk(2, 3000, b"\x1a") + b"\n",
                                        between=junk(3, 3000, b"\x1a") + b"\n",
                                        after=junk(4, 3000))
    # A NUL ends a line's text: after a whole line it hides the rest, at the
    # start it empties the line, which is then skipped.
    files["nul-tail.bin"] = rules(b"Alpha Study, 3, 1, nil, nil, 0, 3 ; Alp\0junk, 1\n"
                                  b"\0Omega, 1, 1, nil, nil, 0, 0 ; Ome\n"
                                  b"Beta Craft, 2, 0, Alp, nil, 0, 1 ; Bet\n"
                                  b"Gamma Works, 4, 2, Alp, Bet, 1, 2 ; Gam\n")
    files["nul-mid.bin"] = rules(b"Alpha Study, 3, 1, nil, nil, 0, 3 ; Alp\n"
                                 b"Beta Craft, 2\0, 0, Alp, nil, 0, 1 ; Bet\n")
    files["nul-header.bin"] = rules(before=b"@CIVILIZE\0\n\0@CIVILIZE\n@CIVIL\0IZE\n")
    # Ctrl-Z is an ordinary byte in a rules file.
    files["ctrl-z.bin"] = rules(b"Alpha\x1aStudy, 3, 1, nil, nil, 0, 3 ; Alp\n" + ADVANCES[40:],
                                between=b"\x1a\n", after=b"\x1a")
    files["cr-only.txt"] = rules(nl=b"\r")
    files["crlf.txt"] = rules(nl=b"\r\n").replace(b"Beta Craft", b"Beta\rCraft").replace(
        b"@UNITS\r\n", b"@UNITS\r\r\n")
    # A line end of an old Mac editor among line feeds: the editor shows
    # two lines, the game reads the advance as part of the comment.
    files["cr-in-comment.txt"] = rules(ADVANCES + b"; retired\rDelta Lore, 1, 0, Alp, nil, 0, 0 ; Del\n")
    files["high-bytes.bin"] = rules(
        b"\xa0\xa0Caf\xe9 Study\xa0, 3, 1, nil, nil, 0, 3 ; \xc4\xd6\xdc\xa0\x85\n"
        b"\xff\xfe Craft, 2, 0, \xc4\xd6\xdc, nil, 0, 1 ;\x85\x85\x85\n"
        b"\x80\x81, 2, 0, \x85\x85\x85, \xc4\xd6\xdc, 0, 1 ; Gam\xff\n",
        b"Stra\xdfe, nil, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, \xc4\xd6\xdc, 101\x85\n")
    files["one-line-1mb.txt"] = b"x" * (1 << 20)
    files["comment-1mb.txt"] = rules(ADVANCES[:40] + b";" * (1 << 20) + b"\n" + ADVANCES[40:])
    files["data-1mb.txt"] = rules(b"A," * (1 << 19) + b"\n")
    # Line lengths around the 255 characters of one read.
    line255 = b"Alpha" + b" " * 211 + b"Study, 3, 1, nil, nil, 0, 3 ; Alp"
    assert len(line255) == 249
    line255 = line255.replace(b"Study", b"Study" + b" " * 6)
    assert len(line255) == 255
    files["line-255.txt"] = rules(line255 + b"\n" + ADVANCES[40:])
    files["line-256.txt"] = rules(line255 + b"Q\n" + ADVANCES[40:])
    files["header-in-piece.txt"] = rules(ADVANCES + b";" * 255 + b"@IMPROVE\n" + b"Never, read\n")
    files["long-line-cut.txt"] = rules(b"Alpha, 1, 2, nil, nil, 0, 3 " + b"X" * 227 + b"\n")
    files["code-very-long.txt"] = rules(b"Alpha Study, 3, 1, nil, " + b"C" * 200 +
                                        b", 0, 3 ; Alp\n")
    for i in range(1, 7):
        files["advance-comma-%d.txt" % i] = rules(
            ADVANCES[:40] + drop_delimiter(DELIM_ADVANCE, b",", i) + b"\n")
    files["advance-semicolon.txt"] = rules(ADVANCES[:40] + DELIM_ADVANCE.replace(b";", b"") +
                                           b"\n")
    for i in range(1, 14):
        files["unit-comma-%d.txt" % i] = rules(
            ADVANCES, drop_delimiter(DELIM_UNIT, b",", i) + b"\n")
    files["chain-99.txt"] = rules(chain(99), b"")
    files["chain-99-reverse.txt"] = rules(chain(99, reverse=True), b"")
    # A unit on the deepest level, with its advance listed last or first.
    deep_unit = b"Deep Diver, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, S99, 0\n"
    files["chain-99-unit.txt"] = rules(chain(99), deep_unit)
    files["chain-99-unit-reverse.txt"] = rules(chain(99, reverse=True), deep_unit)
    files["chain-100.txt"] = rules(chain(100), b"")
    files["chain-100-reverse.txt"] = rules(chain(100, reverse=True), b"")
    files["cycle-50.txt"] = rules(ADVANCES + ring(50), b"")
    # A chart wider than any bitmap: 40,000 advances on level 0.
    files["wide.txt"] = rules(b"".join(b"Loose %d, 1, 0, Zzz, Zzz, 0, 0 ; L%d\n" % (i, i % 1000)
                                       for i in range(40000)), b"")
    # Past the reader's 16 MiB: lines naming unknown prerequisites, each an
    # advance on level 0, and the sections' end after them.
    line = b"Lost %07d, 1, 0, Zzz, Zzz, 0, 0 ; Q\n" % 0
    count = (16 * 1024 * 1024) // len(line) + 1
    files["huge-unknown.txt"] = rules(b"".join(b"Lost %07d, 1, 0, Zzz, Zzz, 0, 0 ; Q\n" % i
                                               for i in range(count)), b"")
    files["hundred.txt"] = hub_file(100, 100, 100, 100)
    files["dependants-101.txt"] = hub_file(101, 0, 1, 0)
    files["dependants-101-root.txt"] = hub_file(0, 0, 101, 0)
    files["units-101.txt"] = hub_file(1, 101, 1, 0)
    files["units-101-root.txt"] = hub_file(1, 0, 1, 101)
    return files


def main():
    args = sys.argv[1:]
    max_size = None
    if "--max-size" in args:
        at = args.index("--max-size")
        max_size = int(args[at + 1])
        del args[at:at + 2]
    if len(args) != 1:
        sys.exit(__doc__)
    out = args[0]
    os.makedirs(out, exist_ok=True)
    os.makedirs(os.path.join(out, "a-directory"), exist_ok=True)
    src = os.path.join(HERE, "files")
    for name in sorted(os.listdir(src)):
        shutil.copyfile(os.path.join(src, name), os.path.join(out, name))
    for name, data in generated().items():
        if max_size is not None and len(data) > max_size:
            continue
        path = os.path.join(out, name)
        # Rewrite only what changed, so a staged corpus stays put.
        if os.path.exists(path) and os.path.getsize(path) == len(data):
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
