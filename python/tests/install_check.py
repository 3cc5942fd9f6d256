"""The README's install line, run as written but for its apt-get part and
with the environment in a scratch folder; the installed package must then
import and solve outside the clone.

Usage: install_check.py README.md SCRATCH_FOLDER
"""

import os
import re
import shutil
import subprocess
import sys

readme, scratch = sys.argv[1], os.path.abspath(sys.argv[2])
text = open(readme, encoding="utf-8").read()
line, = re.findall(r"^sudo apt-get install .*pip install --no-build-isolation \.$", text, re.M)
steps = [s.strip() for s in line.split("&&") if not s.strip().startswith("sudo apt-get")]
command = " && ".join(steps).replace("~/velmora-env", os.path.join(scratch, "env"))
shutil.rmtree(scratch, ignore_errors=True)
os.makedirs(scratch)
subprocess.run(command, shell=True, check=True, cwd=os.path.dirname(os.path.abspath(readme)),
               stdout=subprocess.DEVNULL)
check = ("import velmora\n"
         "s = velmora.Beam().section(l=4, EI=2, q=3).end().solve()\n"
         "assert abs(s.at(2).M - 6) < 1e-12, s.at(2)\n"
         "print(velmora.__version__, velmora.__file__)\n")
out = subprocess.run([os.path.join(scratch, "env", "bin", "python"), "-c", check], cwd=scratch,
                     capture_output=True, text=True, check=True)
assert "site-packages" in out.stdout, out.stdout
print(out.stdout, end="")
