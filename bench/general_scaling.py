#!/usr/bin/env python3
"""How velmora-batch --general grows with the beam: continuous beams of equal
spans under a uniform load, solved with a diagram of 50 points per section,
as whole processes (GNU time). Prints the medians of wall time and peak
memory per size and
the growth per span between sizes.

usage: bench/general_scaling.py [--batch build/native/batch/velmora-batch] [--runs 5]
"""
import argparse
import os
import statistics
import subprocess
import time
import tempfile


def description(spans):
    lines = ["F1 gelenkiges Lager"]
    for i in range(spans):
        lines.append("F3 l=5 EI=1 q=6")
        lines.append("F6 Zwischenbedingung gelenkiges Lager" if i + 1 < spans
                     else "F6 rechtes Traegerende gelenkiges Lager")
    lines.append("F7")
    return "\n".join(lines) + "\n"


def measure(batch, path, table, work):
    """Wall time in seconds of one run, and its peak resident memory in KiB
    as GNU time reports it (the program needs GNU time: Debian package time)."""
    report = os.path.join(work, "time.txt")
    start = time.perf_counter()
    subprocess.run(["/usr/bin/time", "-o", report, "-f", "%e %M", batch, "--general",
                    "--points", "50", "--table", table, path],
                   check=True, stdout=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    with open(report) as f:
        peak = f.read().split()[1]
    return elapsed, int(peak)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--batch", default=os.path.join(
        here, "..", "build", "native", "batch", "velmora-batch"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", type=int, nargs="+", default=[10, 100, 1000, 5000])
    args = parser.parse_args()
    rows = []
    with tempfile.TemporaryDirectory() as work:
        for spans in args.sizes:
            path = os.path.join(work, f"spans{spans}.txt")
            with open(path, "w") as f:
                f.write(description(spans))
            table = os.path.join(work, "diagram.csv")
            runs = [measure(args.batch, path, table, work) for _ in range(args.runs)]
            rows.append((spans, statistics.median(t for t, _ in runs),
                         statistics.median(m for _, m in runs)))
    print(f"{'spans':>6} {'median s':>10} {'peak MiB':>9} {'us/span (from previous)':>24}")
    previous = None
    for spans, seconds, peak in rows:
        growth = ""
        if previous:
            growth = f"{(seconds - previous[1]) / (spans - previous[0]) * 1e6:.1f}"
        print(f"{spans:>6} {seconds:>10.4f} {peak / 1024:>9.1f} {growth:>24}")
        previous = (spans, seconds)


if __name__ == "__main__":
    main()
