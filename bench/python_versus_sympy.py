#!/usr/bin/env python3
"""The velmora package side by side with SymPy's Beam, in one Python process.

Usage: bench/python_versus_sympy.py [--build DIR] [--runs N] [--sweep N]

The beam of bench/versus_sympy.py: four spans of l = 5, EI = 1 under q = 6,
hinged at both ends with supports between. velmora builds it through the
API, solves it and samples it at 1000 points a span (4009 samples, numpy
arrays); SymPy solves the same beam and evaluates its moment and deflection
at 4000 points, its cache cleared before every run and its import excluded.
They alternate in one process; the figures are medians. Then a sweep: the
beam with EI from 1 to 2 in N steps, solved and sampled at 50 points a span,
in beams per second. Both methods, keyed and general.

Run it with Debian's python3 (numpy, sympy) and the package of the native
build: PYTHONPATH=build/native/python /usr/bin/python3 bench/python_versus_sympy.py
"""
import argparse
import os
import statistics
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "bench"))
from versus_sympy import import_sympy, sympy_beam  # noqa: E402


def four_spans(velmora, ei=1.0):
    b = velmora.Beam("hinged")
    for k in range(4):
        if k:
            b.support()
        b.section(l=5, EI=ei, q=6)
    return b.end("hinged")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--runs", type=int, default=21)
    parser.add_argument("--sweep", type=int, default=10000)
    args = parser.parse_args()
    import_sympy()
    sys.path.insert(0, os.path.join(args.build, "native", "python"))
    import numpy as np
    import sympy.core.cache
    import velmora

    methods = ["keyed", "general"]
    times = {m: [] for m in methods}
    sympy_times = []
    for _ in range(args.runs):
        for m in methods:
            t0 = time.perf_counter()
            d = four_spans(velmora).solve(method=m).diagram(points=1000)
            times[m].append(time.perf_counter() - t0)
        sympy.core.cache.clear_cache()
        t0 = time.perf_counter()
        _, _, moment = sympy_beam()
        sympy_times.append(time.perf_counter() - t0)

    print("four spans, %d samples; M differs from SymPy's by at most %.1e"
          % (len(d), float(np.max(np.abs(moment(d.x) - d.M)))))
    sym = statistics.median(sympy_times)
    print("SymPy %s: median %.1f ms" % (sympy.__version__, sym * 1e3))
    for m in methods:
        ours = statistics.median(times[m])
        print("velmora %-7s: median %.3f ms, SymPy/velmora = %.0f" % (m, ours * 1e3, sym / ours))
    for m in methods:
        eis = np.linspace(1.0, 2.0, args.sweep)
        t0 = time.perf_counter()
        peaks = [float(four_spans(velmora, ei).solve(method=m).diagram(points=50).w.max())
                 for ei in eis]
        elapsed = time.perf_counter() - t0
        print("sweep of %d beams, %-7s: %.0f beams per second (w max %.4g .. %.4g)"
              % (args.sweep, m, args.sweep / elapsed, min(peaks), max(peaks)))


if __name__ == "__main__":
    main()
