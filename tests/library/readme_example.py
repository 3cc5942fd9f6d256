#!/usr/bin/env python3
"""The README's C++ example: write it out as a source file, or run the built
program and compare what it prints with the output the README shows.

    readme_example.py extract README.md OUT.cpp
    readme_example.py check README.md PROGRAM [EMULATOR...]
"""
import re
import subprocess
import sys


def block(readme, marker, fence):
    text = open(readme, encoding="utf-8").read()
    found = re.search(r"<!-- %s -->\n```%s\n(.*?)```" % (marker, fence), text, re.S)
    if not found:
        sys.exit("%s: no block after <!-- %s -->" % (readme, marker))
    return found.group(1)


def main():
    what, readme = sys.argv[1], sys.argv[2]
    if what == "extract":
        source = block(readme, "cpp-example", "cpp")
        try:
            if open(sys.argv[3], encoding="utf-8").read() == source:
                return 0
        except OSError:
            pass
        open(sys.argv[3], "w", encoding="utf-8").write(source)
        return 0
    expected = block(readme, "cpp-output", "text")
    run = subprocess.run(sys.argv[4:] + [sys.argv[3]], capture_output=True, text=True)
    printed = run.stdout.replace("\r\n", "\n")
    if run.returncode != 0 or printed != expected:
        print("exit %d, printed:\n%s\nexpected:\n%s" % (run.returncode, printed, expected))
        return 1
    print("1 passed, 0 failed")
    return 0


sys.exit(main())
