"""The page in headless Chromium: the time from an edit of the description to
the redrawn page for a 20-span beam at 100 points a section (the median of 50
edits), beside the native library doing the same (bench/page_bench), and the
size of the page (the WebAssembly and all) as it is and gzipped.

    /usr/bin/python3 bench/web_edit.py build/web/velmora.html [build/native/bench/page_bench]

Needs Debian's chromium, chromium-driver and python3-selenium; build the page
with `tools/velmora web` (or its build_web step) first.
"""
import gzip
import json
import pathlib
import statistics
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

EDITS = 50


def twenty_spans(edit):
    """The beam of bench/page_bench.cpp: every edit changes one span's q."""
    lines = ["F1 gelenkiges Lager"]
    for span in range(20):
        q = 6.0 + edit % 7 if span == edit % 20 else 6.0
        lines.append(f"F3 l={4.0 + 0.25 * (span % 3):f} EI=21000 q={q:f}")
        lines.append("F6 Zwischenbedingung gelenkiges Lager" if span < 19
                     else "F6 rechtes Trägerende gelenkiges Lager")
    return "\n".join(lines) + "\n"


# One edit: the text set and its input event dispatched (the page solves and
# redraws in the handler), then the next frame, painted, reached.
EDIT = """
const [text, done] = arguments;
const editor = document.getElementById('description');
const start = performance.now();
editor.value = text;
editor.dispatchEvent(new Event('input', {bubbles: true}));
document.body.getBoundingClientRect();  // the layout of the new page
const handled = performance.now() - start;
requestAnimationFrame(() => setTimeout(() => done([handled, performance.now() - start,
    document.getElementById('status').textContent,
    Number(document.getElementById('status').dataset.solveMs)]), 0));
"""


def browser_times(page):
    options = webdriver.ChromeOptions()
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--window-size=1400,1000"]:
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get(pathlib.Path(page).resolve().as_uri())
        for _ in range(300):
            if driver.execute_script("return document.body.dataset.ready === 'true'"):
                break
            time.sleep(0.05)
        driver.execute_script("const p = document.getElementById('points'); p.value = '100';"
                              "document.getElementById('critical-count').value = '0';")
        driver.set_script_timeout(60)
        for edit in range(5):  # warm up
            driver.execute_async_script(EDIT, twenty_spans(edit))
        handled, painted, solving = [], [], []
        for edit in range(EDITS):
            h, p, status, s = driver.execute_async_script(EDIT, twenty_spans(edit + 5))
            solving.append(s)
            if status != "solved":
                sys.exit(f"web_edit.py: the page says {status!r}")
            handled.append(h)
            painted.append(p)
        samples = driver.execute_script("return document.querySelectorAll('#drawing svg polyline, "
                                        "#drawing svg path, #drawing svg polygon').length")
        return handled, painted, solving
    finally:
        driver.quit()


def native_time(program):
    run = subprocess.run([program, "--benchmark_format=json"], capture_output=True, text=True,
                         check=True)
    result = json.loads(run.stdout)["benchmarks"][0]
    return result["real_time"], result["time_unit"]


def main():
    page = sys.argv[1]
    handled, painted, solving = browser_times(page)
    print(f"20 spans, 100 points a section, {EDITS} edits in headless Chromium:")
    print(f"  edit to redrawn page (solved, drawn, laid out): median {statistics.median(handled):.1f} ms"
          f" (min {min(handled):.1f}, max {max(handled):.1f})")
    print(f"  of which the library (WebAssembly):             median {statistics.median(solving):.1f} ms")
    print(f"  edit to the next frame after it:                median {statistics.median(painted):.1f} ms")
    if len(sys.argv) > 2:
        value, unit = native_time(sys.argv[2])
        print(f"  the native library, the same work (page_bench): {value:.2f} {unit}")
    data = pathlib.Path(page).read_bytes()
    print(f"page size: {len(data) / 1024:.0f} KiB, gzip {len(gzip.compress(data, 9)) / 1024:.0f} KiB"
          " (one file: HTML, CSS, the module and its WebAssembly)")


if __name__ == "__main__":
    main()
