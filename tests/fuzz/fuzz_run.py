#!/usr/bin/env python3
"""The fuzzer's bounded run: a fresh corpus seeded with the README's example
descriptions and the descriptions in velmora-batch's tests, a fixed seed and
a time limit. Any crash, leak or sanitizer report fails the run; the input
that caused it is kept for tests/fuzz/regressions/."""
import argparse
import codecs
import pathlib
import re
import shutil
import subprocess
import sys

# Adjacent C or Python string literals, joined as the compiler joins them.
LITERALS = re.compile(r'"(?:[^"\\\n]|\\.)*"(?:\s*"(?:[^"\\\n]|\\.)*")*')
ACTION = re.compile(rb"(?im)^\s*f[1-7]\b")


def readme_examples(readme):
    blocks = re.findall(r"<!-- batch-file: \S+ -->\s*```\w*\n(.*?)```", readme, re.S)
    return [b.encode() for b in blocks]


def test_descriptions(paths):
    for path in paths:
        for match in LITERALS.finditer(path.read_text(encoding="utf-8")):
            parts = re.findall(r'"((?:[^"\\\n]|\\.)*)"', match.group(0))
            # \xNN stands for one byte: decode the escapes to Latin-1 code points.
            text = codecs.decode("".join(parts), "unicode_escape").encode("latin-1")
            if ACTION.search(text):
                yield text


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--fuzzer", required=True)
    ap.add_argument("--source", required=True, type=pathlib.Path)
    ap.add_argument("--work", required=True, type=pathlib.Path)
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--seed", type=int, default=20240917)
    a = ap.parse_args()

    corpus = a.work / "corpus"
    shutil.rmtree(a.work, ignore_errors=True)
    corpus.mkdir(parents=True)
    seeds = readme_examples((a.source / "README.md").read_text(encoding="utf-8"))
    tests = sorted((a.source / "tests" / "batch").glob("*.cpp"))
    seeds += list(test_descriptions(tests))
    seeds += [p.read_bytes() for p in sorted((a.source / "tests/fuzz/regressions").iterdir())]
    for i, seed in enumerate(dict.fromkeys(seeds)):
        (corpus / f"seed-{i:03d}").write_bytes(seed)
    print(f"{len(list(corpus.iterdir()))} seeds", flush=True)
    if len(seeds) < 20:
        sys.exit("too few seeds: the README's examples or the tests' descriptions were not found")

    run = subprocess.run([a.fuzzer, str(corpus), f"-seed={a.seed}",
                          f"-max_total_time={a.seconds}", "-max_len=4096", "-timeout=20",
                          "-print_final_stats=1", f"-artifact_prefix={a.work}/",
                          f"-dict={a.source / 'tests/fuzz/batch.dict'}"],
                         stdin=subprocess.DEVNULL)
    if run.returncode != 0:
        kept = sorted(p.name for p in a.work.iterdir() if p.is_file())
        sys.exit(f"the fuzzer failed (status {run.returncode}); the input is in {a.work}: "
                 f"{', '.join(kept)}. Put it in tests/fuzz/regressions/ with the fix.")


if __name__ == "__main__":
    main()
