"""The README's Python examples, run as doctests in one namespace."""

import doctest
import re


def test_readme_examples(readme_path):
    text = open(readme_path, encoding="utf-8").read()
    blocks = re.findall(r"<!-- python-example -->\n```pycon\n(.*?)```", text, re.S)
    assert len(blocks) >= 3
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    globs = {}
    for n, block in enumerate(blocks):
        test = doctest.DocTestParser().get_doctest(block, globs, f"README block {n + 1}",
                                                   readme_path, 0)
        runner.run(test, clear_globs=False)
        globs = test.globs
    assert runner.failures == 0 and runner.tries >= 15
