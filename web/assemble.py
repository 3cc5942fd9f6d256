"""Assembles the page into one file that also opens from the disk: the
stylesheet and the module inlined, the WebAssembly inside the module, and the
README's example beams as the examples to start from.

    assemble.py WEB_DIR VELMORA_MJS README OUTPUT
"""
import json
import re
import sys


def examples(readme):
    """The README's description files, in its order: name -> text."""
    found = {}
    pattern = re.compile(r"<!-- batch-file: (\S+) -->\n```text\n(.*?)```", re.S)
    for name, text in pattern.findall(readme):
        found[name] = text
    return found


def inline_script(text):
    # Nothing in a script may end its <script> element early.
    return text.replace("</script", "<\\/script")


def main():
    web, module_path, readme_path, output = sys.argv[1:5]
    with open(f"{web}/velmora.html", encoding="utf-8") as f:
        html = f.read()
    with open(f"{web}/page.css", encoding="utf-8") as f:
        css = f.read()
    with open(f"{web}/page.js", encoding="utf-8") as f:
        page = f.read()
    with open(module_path, encoding="utf-8") as f:
        module = f.read()
    with open(readme_path, encoding="utf-8") as f:
        beams = examples(f.read())
    if not beams:
        sys.exit("assemble.py: no example beams in the README")

    module, exports = re.subn(r"\nexport default createVelmora;\s*$", "\n", module)
    page, imports = re.subn(r"^import .*? from '\./(velmora\.mjs|examples\.js)';\n", "", page,
                            flags=re.M)
    if exports != 1 or imports != 2:
        sys.exit("assemble.py: the module or the page's imports are not as expected")
    script = "\n".join([
        module,
        "const examples = " + json.dumps(beams, ensure_ascii=False, indent=1) + ";",
        page,
    ])
    html = html.replace('<link rel="stylesheet" href="page.css">', "<style>\n" + css + "</style>")
    tag = '<script type="module" src="page.js"></script>'
    if tag not in html:
        sys.exit("assemble.py: velmora.html has no page.js script")
    html = html.replace(tag, '<script type="module">\n' + inline_script(script) + "\n</script>")
    with open(output, "w", encoding="utf-8") as f:
        f.write(html)


if __name__ == "__main__":
    main()
