#!/usr/bin/env python3
"""The drawings of velmora-batch through a real XML parser.

Usage: check_svg.py --work DIR -- [EMULATOR] PROGRAM

Runs PROGRAM (through EMULATOR, e.g. Wine, when given) on beams that use
every element, and one whose values are not finite, and parses each SVG
with xml.etree: it must be well-formed SVG with the four plots (five with
sigma where a shaft gives W, one more per mode shape of --critical), their
extreme marks and only finite coordinates.
"""
import math
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"

BEAMS = {
    "every-element": """\
F1 Einspannung
F3 l=2.385 EI=3.1 q=1.25 qs=-0.75
F2 c=40.5
F4 Kraft 2.5
F4 Moment -1.25
F4 Winkel 0.01
F4 Absenkung -0.02
F6 Zwischenbedingung Gelenk
F3 l=1.5 EI=3.1 q=-0.5
F6 Zwischenbedingung gelenkiges Lager
F5 l=1.2 E=2.1e5 d=0.08 qs=0.4
F6 rechtes Trägerende freies Ende M=0.5 Q=-0.25
""",
    "not-finite": """\
F1 gelenkiges Lager
F3 l=1 EI=1e-310 q=1
F6 rechtes Trägerende gelenkiges Lager
""",
    "clamped-both": """\
F1 Einspannung
F3 l=0.75 EI=12.5 q=3
F6 rechtes Traegerende Einspannung
""",
    "shaft-modes": """\
F1 gelenkiges Lager
F5 l=300 E=210000 d=40 rho=7.85e-9
Masse m=0.02 J=4
F5 l=200 E=210000 d=35 rho=7.85e-9
F6 rechtes Trägerende gelenkiges Lager
""",
}

# The plots each drawing has, and what more its run asks for.
PLOTS = {"every-element": 5, "not-finite": 4, "clamped-both": 4, "shaft-modes": 8}
ARGS = {"shaft-modes": ["--critical", "3"]}


def check(path, finite, plots):
    root = ET.parse(path).getroot()  # raises on anything not well-formed
    problems = []
    if root.tag != SVG + "svg":
        problems.append("root is %s, not svg" % root.tag)
    texts = ["".join(t.itertext()) for t in root.iter(SVG + "text")]
    for name in ("w", "psi", "M", "Q") + (("sigma",) if plots > 4 else ()):
        if name not in texts:
            problems.append("no plot named %s" % name)
    curves = list(root.iter(SVG + "polyline"))
    if finite:
        if len([c for c in curves if c.get("stroke-width") == "1.8"]) != plots:
            problems.append("not %d curves" % plots)
        if len([t for t in texts if t.startswith("max ")]) != plots:
            problems.append("not %d maxima marked" % plots)
    else:
        if not any("not finite" in t or "no finite values" in t for t in texts):
            problems.append("no note on values that are not finite")
    for element in root.iter():
        for key, value in element.attrib.items():
            for number in re.findall(r"-?\d+(?:\.\d+)?(?:e[-+]?\d+)?|nan|inf", value):
                if number in ("nan", "inf") or not math.isfinite(float(number)):
                    problems.append("%s=%r is not finite" % (key, value))
    return problems


def main():
    args = sys.argv[1:]
    work = args[args.index("--work") + 1]
    command = args[args.index("--") + 1:]
    os.makedirs(work, exist_ok=True)
    passed = failed = 0
    for name, text in BEAMS.items():
        source = os.path.join(work, name + ".txt")
        drawing = os.path.join(work, name + ".svg")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        if os.path.exists(drawing):
            os.remove(drawing)
        done = subprocess.run(command + ARGS.get(name, []) + ["--svg", name + ".svg", name + ".txt"],
                              cwd=work,
                              capture_output=True, timeout=300)
        problems = [] if done.returncode == 0 else ["exit status %d" % done.returncode]
        if not problems:
            try:
                problems = check(drawing, name != "not-finite", PLOTS[name])
            except ET.ParseError as e:
                problems = ["not well-formed XML: %s" % e]
        if problems:
            failed += 1
            print("FAIL %s: %s" % (name, "; ".join(problems)))
        else:
            passed += 1
            print("ok   %s" % name)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
