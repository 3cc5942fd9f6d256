"""Builds velmora._velmora from the library's C++ sources in this clone."""

from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

root = Path(__file__).resolve().parent
# The portable library: the engine, the model, both methods, the analysis and
# the text format (no Windows-only file, no front end).
parts = ["engine", "model", "sections", "solver", "keyed", "analysis", "text", "library"]
sources = ["python/src/binding.cpp"] + sorted(
    str(p.relative_to(root)) for part in parts for p in (root / part).glob("*.cpp")
    if not p.name.endswith("_win.cpp"))

extension = Pybind11Extension(
    "velmora._velmora",
    sources,
    include_dirs=[".", "/usr/include/eigen3"],
    cxx_std=17,
    # The library rounds as the program does: no fused multiply-add.
    extra_compile_args=["-ffp-contract=off"],
)

ParallelCompile().install()
setup(ext_modules=[extension], cmdclass={"build_ext": build_ext})
