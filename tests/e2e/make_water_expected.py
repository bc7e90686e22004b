#!/usr/bin/env python3
"""Builds jobs/water/water.expected from independent pieces.

The report of a job with one water molecule is the banner, the molecule
section computed from the RRHO formulas by tests/fixtures/thermo/water_section.py,
and the tunnelling lines worked out by hand for a job without a transition
state: the imaginary frequency is 0, so u = 0 and kW = 1 + 0 = 1; kP = 0/sin 0
is NaN; alp = 2 pi/(h*0) is Infinity, so ee = exp(-Infinity * 0) is NaN and
kST1 = kST2 = NaN; bet > alp is false, so kST = kST1 = NaN.
"""
import os
import re

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))

banner_src = open(os.path.join(root, "tests/driver/program_start_test.cpp")).read()
banner = re.findall(r'"(.*?)\\n"', re.search(r"BANNER_347 =\n(.*?);\n", banner_src, re.S).group(1))
section = open(os.path.join(root, "tests/fixtures/thermo/water_section.txt")).read()
tunnelling = (
    "\n\n"
    " Transmission coeeficient by Wigner theory                  =" + "%20.10f" % 1.0 + "\n"
    " Transmission coeeficient for uniform parabolic potential   =" + "%20s" % "NaN" + "\n"
    " Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)=" + "%20s" % "NaN" * 3 + "\n")
with open(os.path.join(here, "jobs/water/water.expected"), "w") as f:
    f.write("\n".join(banner) + "\n" + section + tunnelling)
