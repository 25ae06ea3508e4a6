#!/usr/bin/env python3
"""Print through a real spooler, end to end.

  print_pdf.py WINE_RUN DRIVER VIEWER RULES WORK_DIR

Starts the viewer on RULES through lorvane-drive (run by the WINE_RUN
script), presses F3 and OK in the print dialog, then saves the chart that
Copy puts on the clipboard. CUPS (started by scripts/test.sh) must have the
PDF printer as its default. Checks: exactly one new PDF from cups-pdf,
titled "Velmora 2 Research Tree", of exactly two pages; rendered with
pdftoppm, page one looks like the chart's upper half and page two like its
lower half (ink per cell of a grid, correlated; each half is stretched over
a whole page, so the grids are taken over each image's inked area).
"""
import glob
import os
import re
import subprocess
import sys
import time

GRID = 6
TITLE = "Velmora 2 Research Tree"


def fail(problem):
    print("FAIL: " + problem)
    sys.exit(1)


def pdf_folder():
    out = "${HOME}/PDF"
    try:
        with open("/etc/cups/cups-pdf.conf") as conf:
            for line in conf:
                m = re.match(r"\s*Out\s+(\S+)", line)
                if m:
                    out = m.group(1)
    except OSError:
        pass
    return os.path.expandvars(out.replace("${HOME}", os.path.expanduser("~")))


def read_pnm(path):
    """Width, height, channels and bytes of a binary PGM (P5) or PPM (P6)."""
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    magic, width, height = fields[0], int(fields[1]), int(fields[2])
    channels = {b"P5": 1, b"P6": 3}[magic]
    return width, height, channels, data[pos:pos + width * height * channels]


def darkness(path, rows=None):
    """Rows of darkness values 0..1 (1 is black) of an image, optionally
    only the rows in the range."""
    width, height, channels, pixels = read_pnm(path)
    first, last = rows if rows else (0, height)
    image = []
    for y in range(first, last):
        row = pixels[y * width * channels:(y + 1) * width * channels]
        if channels == 1:
            image.append([(255 - v) / 255.0 for v in row])
        else:
            image.append([(765 - row[i] - row[i + 1] - row[i + 2]) / 765.0
                          for i in range(0, len(row), 3)])
    return image


def ink_grid(image):
    """Mean darkness per cell of a GRID x GRID grid over the inked area."""
    threshold = 0.02
    ys = [y for y, row in enumerate(image) if max(row) > threshold]
    xs = [x for x in range(len(image[0])) if any(row[x] > threshold for row in image)]
    if not ys or not xs:
        return None
    top, bottom, left, right = ys[0], ys[-1] + 1, xs[0], xs[-1] + 1
    grid = []
    for gy in range(GRID):
        y0 = top + (bottom - top) * gy // GRID
        y1 = max(y0 + 1, top + (bottom - top) * (gy + 1) // GRID)
        for gx in range(GRID):
            x0 = left + (right - left) * gx // GRID
            x1 = max(x0 + 1, left + (right - left) * (gx + 1) // GRID)
            total = sum(sum(image[y][x0:x1]) for y in range(y0, y1))
            grid.append(total / ((y1 - y0) * (x1 - x0)))
    return grid


def correlation(a, b):
    n = len(a)
    ma, mb = sum(a) / n, sum(b) / n
    cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    va = sum((x - ma) ** 2 for x in a) ** 0.5
    vb = sum((y - mb) ** 2 for y in b) ** 0.5
    return cov / (va * vb) if va and vb else 0.0


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    wine_run, driver, viewer, rules, work = sys.argv[1:]
    os.makedirs(work, exist_ok=True)
    status = subprocess.run(["lpstat", "-r", "-d"], capture_output=True, text=True).stdout
    if "is running" not in status or "destination: PDF" not in status:
        fail("CUPS with the default printer PDF is not running (scripts/test.sh starts it)")
    folder = pdf_folder()
    before = set(glob.glob(os.path.join(folder, "*.pdf")))
    chart = os.path.join(work, "chart.ppm")
    log = os.path.join(work, "drive.log")
    with open(log, "wb") as out:
        result = subprocess.run(["bash", wine_run, driver, viewer, rules, "--expect-exit", "0",
                                 "--print", "--chart-out", chart],
                                stdout=out, stderr=subprocess.STDOUT, timeout=120)
    if result.returncode != 0:
        fail("the driver reports:\n" + open(log, encoding="latin-1").read())

    # The job passes through the spooler and Ghostscript.
    new = []
    deadline = time.time() + 60
    while time.time() < deadline:
        queue = subprocess.run(["lpstat", "-o"], capture_output=True, text=True).stdout
        new = sorted(set(glob.glob(os.path.join(folder, "*.pdf"))) - before)
        if new and not queue.strip():
            break
        time.sleep(0.5)
    if len(new) != 1:
        fail("expected one new PDF in %s, found %d: %s" % (folder, len(new), new))
    pdf = new[0]
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    title = re.search(r"^Title:\s*(.*)$", info, re.M)
    pages = re.search(r"^Pages:\s*(\d+)", info, re.M)
    if not title or title.group(1).strip() != TITLE:
        fail("title %r, expected %r" % (title and title.group(1), TITLE))
    if not pages or int(pages.group(1)) != 2:
        fail("%s pages, expected 2" % (pages and pages.group(1)))

    prefix = os.path.join(work, "page")
    for old in glob.glob(prefix + "*"):
        os.remove(old)
    subprocess.run(["pdftoppm", "-gray", "-r", "40", pdf, prefix], check=True)
    page_files = sorted(glob.glob(prefix + "*.pgm"))
    if len(page_files) != 2:
        fail("pdftoppm made %d pages" % len(page_files))
    _, height, _, _ = read_pnm(chart)
    half = height // 2
    upper = ink_grid(darkness(chart, (0, half)))
    lower = ink_grid(darkness(chart, (half, 2 * half - 1)))
    page1 = ink_grid(darkness(page_files[0]))
    page2 = ink_grid(darkness(page_files[1]))
    if None in (upper, lower, page1, page2):
        fail("a page or a half of the chart is blank")
    c = {
        "page 1 ~ upper": correlation(page1, upper),
        "page 1 ~ lower": correlation(page1, lower),
        "page 2 ~ lower": correlation(page2, lower),
        "page 2 ~ upper": correlation(page2, upper),
    }
    print(", ".join("%s %.2f" % item for item in c.items()))
    if not (c["page 1 ~ upper"] > 0.6 and c["page 2 ~ lower"] > 0.6
            and c["page 1 ~ upper"] > c["page 1 ~ lower"]
            and c["page 2 ~ lower"] > c["page 2 ~ upper"]):
        fail("the pages do not show the chart's upper and lower halves")
    print("ok: %s, 2 pages, upper half on page 1, lower half on page 2" % os.path.basename(pdf))


if __name__ == "__main__":
    main()
