"""velmora-batch --report: the page stands alone (no script, no file or
address beside it) and headless Chromium prints it on A4 pages, for a floor
beam with cases, limits and a span table, a shaft with masses, and a beam of
many spans that runs over several pages.

usage: report_test.py VELMORA_BATCH WORK_DIR (exit 77: no chromium here)"""

import os
import re
import shutil
import subprocess
import sys

A4 = (595.28, 841.89)  # points

FLOOR = """F1 gelenkiges Lager
F3 l=6 EI=25000 q=4.5 W=0.000557 fy=235000
F6 Zwischenbedingung gelenkiges Lager
F3 l=6 EI=25000 q=4.5 W=0.000557 fy=235000
F6 rechtes Tr\u00e4gerende gelenkiges Lager
Lastfall Q feldweise
q=7.5
Kombination ULS 1.35/1.0 G + 1.5 Q
Kombination SLS 1 G + 1 Q
Grenze w L/300 SLS
Grenze sigma fy/1.0 ULS
"""

SHAFT = """F1 gelenkiges Lager
F5 l=300 E=210000 d=40 rho=7.85e-9
F4 Kraft 2000
Masse m=0.02 J=50
F5 l=200 E=210000 d=40 rho=7.85e-9
F6 rechtes Tr\u00e4gerende gelenkiges Lager
"""

MANY = ("F1 gelenkiges Lager\n" +
        "F3 l=3 EI=1000 q=2\nF6 Zwischenbedingung gelenkiges Lager\n" * 39 +
        "F3 l=3 EI=1000 q=2\nF6 rechtes Tr\u00e4gerende freies Ende\n"
        "Lastfall P feldweise\nq=1\nKombination SLS 1 G + 1 P\nGrenze w L/250 SLS\n")


def chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


def pages(pdf):
    """The MediaBox of every page of a PDF Chromium wrote."""
    data = open(pdf, "rb").read()
    count = len(re.findall(rb"/Type\s*/Page\b(?!s)", data))
    boxes = [tuple(float(v) for v in m.split()[2:4])
             for m in re.findall(rb"/MediaBox\s*\[([^\]]*)\]", data)]
    return count, boxes


def main():
    batch, work = sys.argv[1], sys.argv[2]
    browser = chromium()
    if not browser:
        print("no chromium: the report's rendering is not tested here")
        return 77
    os.makedirs(work, exist_ok=True)
    failures = []
    for name, text, least, sections in [
            ("floor", FLOOR, 2, ["Sections", "Load cases and combinations", "Spans", "Checks"]),
            ("shaft", SHAFT, 2, ["Sections", "Critical speeds"]),
            ("many", MANY, 3, ["Spans", "Checks"])]:
        description = os.path.join(work, name + ".txt")
        html = os.path.join(work, name + ".html")
        pdf = os.path.join(work, name + ".pdf")
        with open(description, "w", encoding="utf-8") as f:
            f.write(text)
        run = subprocess.run([batch, "--general", "--report", html, description],
                             capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"{name}: velmora-batch --report: {run.stderr}")
            continue
        page = open(html, encoding="utf-8").read()
        # Self-contained: the drawing inline, nothing fetched or run.
        for outside in (r"<script", r"\ssrc=", r"href=\"(?!#)", r"url\((?!#)", r"@import"):
            if re.search(outside, page):
                failures.append(f"{name}: the page holds {outside!r}")
        if page.count("<svg") != 1:
            failures.append(f"{name}: {page.count('<svg')} drawings inline, not 1")
        for heading in sections + ["Description", "Reactions", "Extremes", "Drawing"]:
            if f">{heading}</h2>" not in page:
                failures.append(f"{name}: no heading {heading}")
        subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu",
                        "--disable-dev-shm-usage", "--no-pdf-header-footer",
                        f"--print-to-pdf={pdf}", "file://" + os.path.abspath(html)],
                       capture_output=True, timeout=120)
        if not os.path.exists(pdf):
            failures.append(f"{name}: chromium printed no PDF")
            continue
        count, boxes = pages(pdf)
        if count < least or len(boxes) < count:
            failures.append(f"{name}: {count} pages ({len(boxes)} boxes), at least {least} "
                            "expected")
        for box in boxes:
            if abs(box[0] - A4[0]) > 1 or abs(box[1] - A4[1]) > 1:
                failures.append(f"{name}: a page of {box[0]} x {box[1]} pt, not A4")
        print(f"{name}: {count} A4 pages")
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
