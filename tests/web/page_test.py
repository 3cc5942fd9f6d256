"""The page in headless Chromium, against the native library: the README's
beams typed into #description give the reactions and extremes velmora-batch
--general --summary --json computes for them (to 1e-12), and a description
velmora-batch refuses shows the same message at the same line and column.
The files it offers are velmora-batch's, byte for byte. The page is opened
from the disk, as a single file, and once through the server of
`tools/velmora web`; a screenshot of it is taken at the end.

    page_test.py --page velmora.html --batch velmora-batch --readme README.md
                 --serve web/serve.py --screenshot out.png
"""
import argparse
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

TOLERANCE = 1e-12
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def close(a, b):
    return abs(a - b) <= TOLERANCE * max(1.0, abs(b))


def readme_beams(readme):
    pattern = re.compile(r"<!-- batch-file: (\S+) -->\n```text\n(.*?)```", re.S)
    return pattern.findall(readme)


def run_batch(program, text, *options):
    """velmora-batch with the options on the text, written to a file."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "beam.txt")
        pathlib.Path(path).write_text(text, encoding="utf-8")
        run = subprocess.run([program, *options, path], capture_output=True, text=True,
                             timeout=60)
    run.stderr = run.stderr.replace(path, "FILE")
    return run


def batch(program, text, *options):
    """velmora-batch on the text: its JSON (None when refused) and its errors."""
    run = run_batch(program, text, *options, "--json", "--summary")
    answer = json.loads(run.stdout) if run.returncode == 0 else None
    return answer, run.stderr


def browser(downloads):
    options = webdriver.ChromeOptions()
    options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                              "download.prompt_for_download": False})
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1400,1000", "--lang=en"]:
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def open_page(driver, url):
    driver.get(url)
    for _ in range(300):
        if driver.execute_script("return document.body.dataset.ready === 'true'"):
            return True
        time.sleep(0.05)
    return False


def type_text(driver, text):
    """Sets the editor's text as typing ends: the value, then an input event."""
    driver.execute_script(
        "const e = document.getElementById('description'); e.value = arguments[0];"
        "e.dispatchEvent(new Event('input', {bubbles: true}));", text)
    return status(driver)


def status(driver):
    return driver.find_element(By.ID, "status").text


def shown(driver):
    """The reactions and extremes as the page's data attributes hold them."""
    return driver.execute_script("""
        const rows = (id) => [...document.querySelectorAll('#' + id + ' tr')].map(r => ({...r.dataset}));
        return {reactions: rows('reactions'), extremes: rows('extremes')};""")


def compare(driver, name, text, program, method_options=("--general",)):
    expected, errors = batch(program, text, *method_options)
    got = type_text(driver, text)
    if expected is None:
        first = errors.splitlines()[0]
        where = re.match(r"FILE:(\d+):(\d+): (.*)", first)
        check(where is not None, f"{name}: velmora-batch refuses it without a place: {first}")
        if where:
            line, column, message = where.groups()
            check(got == f"line {line}, column {column}: {message}",
                  f"{name}: the page says {got!r}, velmora-batch {first!r}")
        return
    check(got == "solved", f"{name}: the page says {got!r}")
    page = shown(driver)
    summary = expected["summary"]
    # What the foundations carry stands in the reactions' table, after them.
    foundations = [row for row in page["reactions"] if "from" in row]
    page["reactions"] = [row for row in page["reactions"] if "from" not in row]
    expected_foundations = summary.get("foundations", [])
    check(len(foundations) == len(expected_foundations),
          f"{name}: {len(foundations)} foundations, velmora-batch has {len(expected_foundations)}")
    for row, f in zip(foundations, expected_foundations):
        check(close(float(row["from"]), f["from"]) and close(float(row["to"]), f["to"])
              and close(float(row["force"]), f["F"]) and int(row["line"]) == f["line"],
              f"{name}: the foundation {row} is not velmora-batch's {f}")
    check(len(page["reactions"]) == len(summary["reactions"]),
          f"{name}: {len(page['reactions'])} reactions, velmora-batch has {len(summary['reactions'])}")
    for row, reaction in zip(page["reactions"], summary["reactions"]):
        check(close(float(row["x"]), reaction["x"]), f"{name}: reaction x {row['x']} != {reaction['x']}")
        check(close(float(row["force"]), reaction["F"]),
              f"{name}: reaction at x = {reaction['x']}: F {row['force']} != {reaction['F']}")
        check(("moment" in row) == ("M" in reaction), f"{name}: a moment where there is none")
        if "M" in reaction and "moment" in row:
            check(close(float(row["moment"]), reaction["M"]),
                  f"{name}: reaction M {row['moment']} != {reaction['M']}")
        check(len(re.sub(r"[-+.]|e.*", "", row["force"])) == 17, f"{name}: {row['force']} not 17 digits")
    extremes = {row["quantity"]: row for row in page["extremes"]}
    for quantity, extreme in summary["extremes"].items():
        row = extremes.get(quantity)
        check(row is not None, f"{name}: no extreme of {quantity}")
        if row is None or extreme is None:
            continue
        for key, attribute in [("max", "max"), ("min", "min"), ("xMax", "xMax"), ("xMin", "xMin")]:
            check(close(float(row[attribute]), extreme[key]),
                  f"{name}: {quantity} {key} {row[attribute]} != {extreme[key]}")
    check(set(extremes) == set(summary["extremes"]), f"{name}: quantities {sorted(extremes)}")


# Descriptions velmora-batch refuses, each for another reason: the page shows
# the same message at the same place.
REFUSED = {
    "a malformed number": "F1 gelenkiges Lager\nF3 l=2,5 EI=8400\n",
    "an unknown word": "F1 Einspannung\nF3 l=2 EI=100\nF4 Last 3\nF6 rechtes Trägerende freies Ende\n",
    "a mechanism": ("F1 gelenkiges Lager\nF3 l=2 EI=100 q=1\nF6 Zwischenbedingung Gelenk\n"
                    "F3 l=2 EI=100 q=1\nF6 rechtes Trägerende gelenkiges Lager\n"),
    "a negative length": "F1 gelenkiges Lager\nF3 l=-1 EI=1\n",
    "a departing repeated run": ("F1 gelenkiges Lager\nF3 l=4 EI=10\nF6 rechtes Trägerende gelenkiges Lager\n"
                                 "F1 gelenkiges Lager\nF3 l=4 EI=11\nF7\n"),
}


def test_elements(driver, program):
    """A row of the element list edited: the text follows, and so do the results."""
    text = "F1 gelenkiges Lager\nF3 l=4 EI=21000 q=10\nF6 rechtes Trägerende gelenkiges Lager\n"
    type_text(driver, text)
    driver.execute_script(
        "const f = document.querySelector(\"#elements tr[data-line='2'] input[data-name='l']\");"
        "f.value = '5'; f.dispatchEvent(new Event('change'));")
    edited = driver.find_element(By.ID, "description").get_attribute("value")
    check(edited.splitlines()[1] == "F3 l=5 EI=21000 q=10", f"the edited row wrote {edited!r}")
    compare(driver, "the edited beam", edited, program)
    # A key adds its element after the row chosen.
    driver.find_element(By.CSS_SELECTOR, "#elements tr[data-line='2'] td.what").click()
    driver.find_element(By.TAG_NAME, "body").send_keys(Keys.F4)
    lines = driver.find_element(By.ID, "description").get_attribute("value").splitlines()
    check(lines[2].startswith("F4 "), f"F4 added {lines!r}")
    check(status(driver) == "solved", f"after F4: {status(driver)!r}")


def batch_json(program, text, *options):
    return json.loads(run_batch(program, text, *options, "--json").stdout)


def test_influence_and_critical(driver, program, beams):
    """An influence line's extremes and areas and the critical speeds, as
    velmora-batch --influence and --critical give them."""
    named = dict(beams)
    text = named["influence.txt"]
    type_text(driver, text)
    for request in ["M@5", "M@2.5", "Q@5-", "R@4"]:
        driver.execute_script(
            "const r = document.getElementById('influence-request'); r.value = arguments[0];"
            "r.dispatchEvent(new Event('input'));", request)
        rows = driver.execute_script(
            "return Object.fromEntries([...document.querySelectorAll('#influence-values tr')]"
            ".map(r => [r.dataset.name, Number(r.dataset.value)]));")
        line = batch_json(program, text, "--general", "--influence", request)["influence"][0]
        for name, key in [("max", "max"), ("min", "min"), ("area positive", "positiveArea"),
                          ("area negative", "negativeArea")]:
            check(name in rows and close(rows[name], line[key]),
                  f"influence {request}: {name} {rows.get(name)} != {line[key]}")
        check(driver.find_element(By.CSS_SELECTOR, "#influence svg") is not None, "no influence drawing")
    driver.execute_script("document.getElementById('influence-request').value = '';")
    text = named["shaft.txt"]
    type_text(driver, text)
    omegas = driver.execute_script(
        "return [...document.querySelectorAll('#critical tr')].map(r => Number(r.dataset.omega));")
    expected = [c["omega"] for c in batch_json(program, text, "--critical", "3")["critical"]]
    check(len(omegas) == len(expected) and all(close(a, b) for a, b in zip(omegas, expected)),
          f"critical speeds {omegas} != {expected}")
    # The keyed method refuses the Gerber beam where velmora-batch warns,
    # at the line it names.
    driver.execute_script("const m = document.getElementById('method'); m.value = 'keyed';"
                          "m.dispatchEvent(new Event('change'));")
    text = named["gerber.txt"]
    _, errors = batch(program, text)
    where = re.search(r"FILE:(\d+):(\d+): .*(cannot eliminate at line \d+)", errors)
    got = type_text(driver, text)
    check(where is not None and got.startswith(f"line {where.group(1)}, column {where.group(2)}: ")
          and where.group(3) in got and "the general method solves it" in got,
          f"the keyed Gerber beam: the page says {got!r}, velmora-batch {errors!r}")
    driver.execute_script("const m = document.getElementById('method'); m.value = 'general';"
                          "m.dispatchEvent(new Event('change'));")


def test_envelope(driver, program, beams):
    """The envelope of a beam's load cases: velmora-batch --envelope's words
    and numbers, lines as the editor numbers them."""
    text = dict(beams)["three-spans.txt"]
    type_text(driver, text)
    got = driver.find_element(By.ID, "envelope-text").get_attribute("textContent")
    expected = run_batch(program, text, "--general", "--envelope").stdout
    check(got == expected and "ULS" in got, f"the envelope says {got!r}, velmora-batch {expected!r}")
    check(driver.find_element(By.CSS_SELECTOR, "#envelope svg") is not None, "no envelope drawing")
    type_text(driver, dict(beams)["two-spans.txt"])
    check(not driver.find_element(By.ID, "envelope-part").is_displayed(),
          "an envelope shown for a beam without load cases")


def test_places(driver, program, beams):
    """The library names a beam's places by its own text; the page names
    them as the editor has them, for a description whose own case is
    named, with blank lines and wide spacing: the envelope's lines, a
    support's influence line by its line, and the keyed method's refusal."""
    named = dict(beams)
    text = "# own loads named\n\n" + named["three-spans.txt"].replace("Lastfall G", "Lastfall Eigen") \
        .replace(" G + ", " Eigen + ").replace("F3 l=5", "F3    l=5")
    type_text(driver, text)
    got = driver.find_element(By.ID, "envelope-text").get_attribute("textContent")
    expected = run_batch(program, text, "--general", "--envelope").stdout
    check(got == expected and "Eigen" in got, f"the renamed envelope: {got!r}, velmora-batch {expected!r}")
    support = 1 + text.splitlines().index("F6 Zwischenbedingung gelenkiges Lager")
    request = f"R@{support}"
    driver.execute_script(
        "const r = document.getElementById('influence-request'); r.value = arguments[0];"
        "r.dispatchEvent(new Event('input'));", request)
    area = driver.execute_script(
        "const r = document.querySelector(\"#influence-values tr[data-name='area positive']\");"
        "return r ? Number(r.dataset.value) : null;")
    line = batch_json(program, text, "--general", "--influence", request)["influence"][0]
    check(area is not None and close(area, line["positiveArea"]), f"{request}: area {area} != {line}")
    driver.execute_script("document.getElementById('influence-request').value = '';")
    driver.execute_script("const m = document.getElementById('method'); m.value = 'keyed';"
                          "m.dispatchEvent(new Event('change'));")
    text = "Lastfall Eigen\n\n" + named["gerber.txt"].replace("F6 Zwischenbedingung Gelenk\nF3 l=4",
                                                                "  F6   Zwischenbedingung Gelenk\nF3 l=4")
    _, errors = batch(program, text)
    where = re.search(r"FILE:(\d+):(\d+): .*(cannot eliminate at line \d+)", errors)
    got = type_text(driver, text)
    check(where is not None and got.startswith(f"line {where.group(1)}, column {where.group(2)}: ")
          and where.group(3) in got, f"the keyed refusal: the page says {got!r}, velmora-batch {errors!r}")
    driver.execute_script("const m = document.getElementById('method'); m.value = 'general';"
                          "m.dispatchEvent(new Event('change'));")


def test_too_large(driver, program):
    """A diagram beyond velmora-batch's limit is refused at once, with the
    same count of samples, and the page stays responsive."""
    text = "F1 gelenkiges Lager\n" + "F3 l=1 EI=1000 q=1\n" * 250 + \
        "F6 rechtes Trägerende gelenkiges Lager\n"
    driver.execute_script("document.getElementById('points').value = '100000';")
    started = time.monotonic()
    got = type_text(driver, text)
    took = time.monotonic() - started
    errors = run_batch(program, text, "--general", "--summary", "--points", "100000").stderr
    expected = re.search(r"the diagram would take \d+ samples, more than \d+", errors)
    check(expected is not None and got == f"line 1, column 1: {expected.group(0)}" and took < 5,
          f"the large beam: the page says {got!r} after {took:.1f} s, velmora-batch {errors!r}")
    driver.execute_script("const p = document.getElementById('points'); p.value = '50';"
                          "p.dispatchEvent(new Event('change'));")


def test_pointer(driver):
    """Values under the pointer: the state at the place pointed at."""
    type_text(driver, "F1 gelenkiges Lager\nF3 l=4 EI=21000 q=10\nF6 rechtes Trägerende gelenkiges Lager\n")
    svg = driver.find_element(By.CSS_SELECTOR, "#drawing svg")
    webdriver.ActionChains(driver).move_to_element(svg).perform()
    text = driver.find_element(By.ID, "pointer").text
    # The middle of the drawing is about the middle of the beam; there the
    # simply supported beam's closed forms hold.
    value = driver.execute_script("return {...document.getElementById('pointer').dataset}")
    x = float(value.get("x", "nan"))
    check(text.startswith("x = ") and 1.0 < x < 3.0, f"the pointer shows {text!r}")
    q, l, ei = 10.0, 4.0, 21000.0
    if 1.0 < x < 3.0:
        check(close(float(value["M"]), q * x * (l - x) / 2), f"M at x = {x}: {value['M']}")
        check(close(float(value["Q"]), q * (l / 2 - x)), f"Q at x = {x}: {value['Q']}")
        check(close(float(value["w"]), q * x * (l ** 3 - 2 * l * x ** 2 + x ** 3) / (24 * ei)),
              f"w at x = {x}: {value['w']}")


def test_downloads(driver, program, beams, downloads):
    """The files the page offers are those velmora-batch writes, byte for byte:
    the JSON of --general --json --summary, the table and the drawing."""
    for name, text in beams:
        if type_text(driver, text) != "solved":
            continue
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "beam.txt")
            pathlib.Path(path).write_text(text, encoding="utf-8")
            outputs = {
                "beam.json": [program, "--general", "--json", "--summary", path],
                "beam.csv": [program, "--general", "--table", "-", path],
                "beam.svg": [program, "--general", "--svg", "-", path],
            }
            for file, command in outputs.items():
                target = pathlib.Path(downloads, file)
                if target.exists():
                    target.unlink()
                driver.find_element(By.ID, "download-" + file.split(".")[1]).click()
                # Chromium writes a download under another name and renames it
                # when complete; on a busy machine that can take seconds.
                deadline = time.monotonic() + 30
                while time.monotonic() < deadline:
                    if target.exists() and target.stat().st_size > 0:
                        break
                    time.sleep(0.05)
                expected = subprocess.run(command, capture_output=True, timeout=60).stdout
                got = target.read_bytes() if target.exists() else b""
                check(got == expected, f"{name}: the page's {file} is not velmora-batch's "
                                       f"({len(got)} and {len(expected)} bytes)")


def test_fragment(driver, url, program):
    """The description travels in the address: a link shows the same beam."""
    text = "F1 Einspannung\nF3 l=2.5 EI=8400\nF4 Kraft 12\nF6 rechtes Trägerende freies Ende\n"
    open_page(driver, url + "#text=" + urllib.parse.quote(text))
    check(driver.find_element(By.ID, "description").get_attribute("value") == text,
          "the fragment's text is not in the editor")
    compare(driver, "the linked beam", text, program)
    fragment = urllib.parse.parse_qs(driver.execute_script("return location.hash.slice(1)"))
    check(fragment.get("text") == [text], f"the address holds {fragment!r}")


def test_keyed(driver, program, beams):
    """The keyed method, chosen on the page, gives velmora-batch's keyed values."""
    driver.execute_script("const m = document.getElementById('method'); m.value = 'keyed';"
                          "m.dispatchEvent(new Event('change'));")
    name, text = beams[0]
    compare(driver, name + " (keyed)", text, program, ())
    driver.execute_script("const m = document.getElementById('method'); m.value = 'general';"
                          "m.dispatchEvent(new Event('change'));")


def main():
    parser = argparse.ArgumentParser()
    for option in ["--page", "--batch", "--readme", "--serve", "--screenshot"]:
        parser.add_argument(option, required=True)
    a = parser.parse_args()
    beams = readme_beams(pathlib.Path(a.readme).read_text(encoding="utf-8"))
    check(len(beams) >= 5, f"only {len(beams)} beams found in the README")
    url = pathlib.Path(a.page).resolve().as_uri()
    downloads = tempfile.mkdtemp()
    driver = browser(downloads)
    try:
        check(open_page(driver, url), "the page from the disk did not start")
        for name, text in beams:
            compare(driver, name, text, a.batch)
        for name, text in REFUSED.items():
            compare(driver, name, text, a.batch)
        test_keyed(driver, a.batch, beams)
        test_elements(driver, a.batch)
        test_influence_and_critical(driver, a.batch, beams)
        test_pointer(driver)
        test_envelope(driver, a.batch, beams)
        test_places(driver, a.batch, beams)
        test_too_large(driver, a.batch)
        test_downloads(driver, a.batch, beams, downloads)
        test_fragment(driver, url, a.batch)

        # Through the server `tools/velmora web` starts, on the loopback only.
        server = subprocess.Popen([sys.executable, a.serve, str(pathlib.Path(a.page).parent)],
                                  stdout=subprocess.PIPE, text=True)
        try:
            address = re.search(r"http://127\.0\.0\.1:\d+/velmora\.html", server.stdout.readline())
            check(address is not None, "the server printed no address on 127.0.0.1")
            if address:
                check(open_page(driver, address.group(0)), "the served page did not start")
                compare(driver, beams[0][0] + " (served)", beams[0][1], a.batch)
        finally:
            server.terminate()
            server.wait(timeout=10)

        # The picture the README shows: the first example, solved.
        open_page(driver, url)
        type_text(driver, beams[0][1])
        driver.execute_script("document.getElementById('influence-request').value = 'M@4';"
                              "document.getElementById('influence-request').dispatchEvent(new Event('input'));")
        driver.save_screenshot(a.screenshot)
        check(os.path.getsize(a.screenshot) > 10000, "the screenshot is empty")
        errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
        check(not errors, f"the browser reported {errors!r}")
    finally:
        driver.quit()
        shutil.rmtree(downloads, ignore_errors=True)
    if failures:
        print(f"{len(failures)} checks failed")
        return 1
    print(f"the page agrees with velmora-batch on {len(beams)} README beams and "
          f"{len(REFUSED)} refused descriptions")
    return 0


if __name__ == "__main__":
    sys.exit(main())
