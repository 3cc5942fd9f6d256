#!/usr/bin/env python3
"""velmora-batch side by side with SymPy's Beam on a four-span beam.

Usage: bench/versus_sympy.py [--build DIR] [--program PATH] [--runs N] [--each N]

The beam: four spans of l = 5, EI = 1 under q = 6, hinged at both ends with
supports between. velmora-batch draws its diagram with --points 1000 --table
(4009 samples, five numbers each), timed as a whole process. SymPy's Beam
(length 20, the five reactions as point loads with zero deflection there,
solve_for_reaction_loads, then the bending moment and the deflection
lambdified and evaluated at 4000 points) is timed in this process with the
import excluded and SymPy's cache cleared before every run, as in a fresh
process. Both alternate in one run; the figures are medians.

The time of velmora-batch is split by three runs of the program: an empty
description (start-up: the process and its loading), --summary (adds the
diagram and a few lines) and --table (adds the table). Peak memory is the
maximum resident set size (/usr/bin/time -v, or the child's rusage).
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

FOUR_SPANS = """\
F1 gelenkiges Lager
F3 l=5 EI=1 q=6
F6 Zwischenbedingung gelenkiges Lager
F3 l=5 EI=1 q=6
F6 Zwischenbedingung gelenkiges Lager
F3 l=5 EI=1 q=6
F6 Zwischenbedingung gelenkiges Lager
F3 l=5 EI=1 q=6
F6 rechtes Traegerende gelenkiges Lager
"""

APT_LINE = "apt-get install -y python3-sympy python3-numpy"


def import_sympy():
    """SymPy and NumPy, from Debian's python3 when this interpreter lacks
    them; returns the seconds the import took."""
    try:
        start = time.perf_counter()
        import numpy  # noqa: F401
        import sympy.physics.continuum_mechanics.beam  # noqa: F401
        return time.perf_counter() - start
    except ImportError:
        pass
    debian = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(debian) and os.path.exists(debian):
        os.execv(debian, [debian] + sys.argv)
    sys.exit("SymPy and NumPy are needed: as root, " + APT_LINE)


def spawn(argv):
    """Wall time of one whole process, and its peak memory in KB."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, null.fileno(), 1)])
        _, status, usage = os.wait4(pid, 0)
        elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit("failed: " + " ".join(argv))
    return elapsed, usage.ru_maxrss


def peak_memory_kb(argv):
    """/usr/bin/time -v's maximum resident set size, where it is installed."""
    if not os.path.exists("/usr/bin/time"):
        return spawn(argv)[1]
    out = subprocess.run(["/usr/bin/time", "-v"] + argv, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, check=True).stderr
    for line in out.splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1])
    return 0


def sympy_beam(points=4000):
    """The beam in SymPy, solved and evaluated; returns the two functions."""
    import numpy as np
    from sympy import Piecewise, lambdify, symbols
    from sympy.physics.continuum_mechanics.beam import Beam

    x = symbols("x")
    supports = (0, 5, 10, 15, 20)
    reactions = symbols("R0 R5 R10 R15 R20")
    beam = Beam(20, 1, 1, variable=x)
    for at, r in zip(supports, reactions):
        beam.apply_load(r, at, -1)
    beam.apply_load(6, 0, 0, end=20)
    beam.bc_deflection = [(at, 0) for at in supports]
    beam.solve_for_reaction_loads(*reactions)
    moment = lambdify(x, beam.bending_moment().rewrite(Piecewise), "numpy")
    deflection = lambdify(x, beam.deflection().rewrite(Piecewise), "numpy")
    xs = np.linspace(0, 20, points)
    moment(xs)
    deflection(xs)
    return beam, reactions, moment


def sizes(program, objdump, strip, work):
    data = 0
    out = subprocess.run([objdump, "-h", program], capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split()
        if len(fields) > 2 and fields[1] == ".data":
            data = int(fields[2], 16)
    stripped = os.path.join(work, os.path.basename(program) + ".stripped")
    subprocess.run([strip, "-o", stripped, program], check=True)
    return os.path.getsize(program), os.path.getsize(stripped), data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--program", help="the velmora-batch to time (default: the native build's)")
    parser.add_argument("--runs", type=int, default=9, help="rounds (default 9)")
    parser.add_argument("--each", type=int, default=15,
                        help="program runs of each kind per round (default 15)")
    args = parser.parse_args()
    import_time = import_sympy()
    program = args.program or os.path.join(args.build, "native", "batch", "velmora-batch")
    if not os.path.exists(program):
        sys.exit("build velmora-batch first: " + program)

    work = tempfile.mkdtemp(prefix="velmora-versus-sympy-")
    try:
        beam = os.path.join(work, "four-spans.txt")
        empty = os.path.join(work, "empty.txt")
        table = os.path.join(work, "four-spans.csv")
        with open(beam, "w") as f:
            f.write(FOUR_SPANS)
        open(empty, "w").close()
        kinds = {
            "process": ["/bin/true"],
            "start-up": [program, empty],
            "summary": [program, "--points", "1000", "--summary", beam],
            "table": [program, "--points", "1000", "--table", table, beam],
        }

        import sympy.core.cache
        times = {k: [] for k in kinds}
        sympy_times = []
        for _ in range(args.runs):
            for _ in range(args.each):
                for kind, argv in kinds.items():
                    times[kind].append(spawn(argv)[0])
            sympy.core.cache.clear_cache()
            t0 = time.perf_counter()
            solved, reactions, moment = sympy_beam()
            sympy_times.append(time.perf_counter() - t0)

        # The two agree: the reactions, and M at velmora-batch's samples.
        out = subprocess.run([program, "--points", "1000", "--json", "--summary",
                              "--table", table, beam], capture_output=True, text=True,
                             check=True).stdout
        import json
        import numpy as np
        ours = [r["F"] for r in json.loads(out)["summary"]["reactions"]]
        theirs = [-float(solved.reaction_loads[r]) for r in reactions]
        rows = np.loadtxt(table, delimiter=",", skiprows=1)
        m_diff = float(np.max(np.abs(moment(rows[:, 0]) - rows[:, 3])))
        r_diff = max(abs(a - b) for a, b in zip(ours, theirs))

        med = {k: statistics.median(v) * 1e3 for k, v in times.items()}
        sym = statistics.median(sympy_times) * 1e3
        print("four spans, --points 1000 --table: %d samples" % (len(rows)))
        print("agreement: reactions within %.1e, M within %.1e over all samples"
              % (r_diff, m_diff))
        print("SymPy %s (import %.0f ms, excluded): median %.1f ms, range %.1f..%.1f ms"
              % (sympy.__version__, import_time * 1e3, sym, min(sympy_times) * 1e3,
                 max(sympy_times) * 1e3))
        print("velmora-batch whole process: median %.2f ms" % med["table"])
        print("  start-up (empty description)  %.2f ms, of which a bare process %.2f ms"
              % (med["start-up"], med["process"]))
        print("  engine (diagram, --summary)    %.2f ms" % (med["summary"] - med["start-up"]))
        print("  output (the table)             %.2f ms" % (med["table"] - med["summary"]))
        print("ratio SymPy / velmora-batch: %.0f (without the bare process: %.0f)"
              % (sym / med["table"], sym / (med["table"] - med["process"])))
        print("peak memory: velmora-batch %d KB, this Python process with SymPy %d KB"
              % (peak_memory_kb(kinds["table"]),
                 resource.getrusage(resource.RUSAGE_SELF).ru_maxrss))
        programs = [(program, "objdump", "strip")]
        for build, prefix in (("win32", "i686"), ("win64", "x86_64")):
            exe = os.path.join(args.build, build, "batch", "velmora-batch.exe")
            if os.path.exists(exe) and shutil.which(prefix + "-w64-mingw32-strip"):
                programs.append((exe, prefix + "-w64-mingw32-objdump",
                                 prefix + "-w64-mingw32-strip"))
        for path, objdump, strip in programs:
            size, stripped, data = sizes(path, objdump, strip, work)
            print("%s: %d bytes, stripped %d bytes, .data %d bytes"
                  % (os.path.relpath(path, args.build), size, stripped, data))
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
