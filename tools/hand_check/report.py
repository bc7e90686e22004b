#!/usr/bin/env python3
"""Independent calculation of the whole report of a job, from the job input to the last line.

    python3 tools/hand_check/report.py JOBFOLDER JOB            # writes JOBFOLDER/JOB.expected
    python3 tools/hand_check/report.py --check JOBFOLDER JOB    # compares with JOB.expected
    python3 tools/hand_check/report.py --self-test              # against the other hand checks

The job input JOBFOLDER/JOB.inp is read with the program's own rules (comment lines, a blank
line ends it, COND/KEFF/molecule lines, options found by key prefix, the program's number
syntax), every molecule data file by its markers and fixed columns, and the report is then
written line by line: the banner, one thermochemistry section per molecule (reactants,
products, transition states, each in job order), the reaction section when there are
reactants and products, the rate-constant section when there are reactants and a transition
state, the effective rate constant lines when the job has a KEFF line (from kG = 0 when there
is no rate section), and the tunnelling lines, always.

The thermochemistry of each molecule is that of rrho.py next to this file (rigid rotor,
harmonic oscillator, ideal gas), the fields are edited by fortran_fields.py; the reaction
totals, the rate constants, the effective rate constant and the tunnelling coefficients are
worked out here, each function with its formulas. The arithmetic follows the formulas in
their written order, in IEEE doubles, with IEEE results where Python would raise (x/0, ln 0,
exp overflow): a molecule whose data file is missing has a zero mass and zero moments, and
its section and the sums built on it are full of Infinity and NaN. The same functions write
the rates fixtures (tests/fixtures/rates/make_expected.py), the water section
(tests/fixtures/thermo/water_section.py) and the key lines of reference.py. The self-test
checks the fixtures held against these functions, this input reader against molfile.py's,
the water job against its expected report, and worked values of the scanner.
"""

import math
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fortran_fields import A, D, E, F, I  # noqa: E402
from rrho import (AVOGADRO, BOLTZ, CLIGHT, KJ2HARTREE, KJ2KCAL, P0, PI, PLANCK,  # noqa: E402
                  RGAS, div, exp, log, log10, molecule_thermo, sin, vibrational)

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

NOT_GIVEN = 999999
BUILD = 347


class StopRun(Exception):
    """What stops the program with an error message (the job then has no whole report)."""


# --- keyword-line scanner -------------------------------------------------------------------

def left_adjust(s):
    t = s.lstrip(" ")
    return t + " " * (len(s) - len(t))


def to_upper(s):
    """The first min(trimmed length, 132) characters, a-z made upper case (ASCII only)."""
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in s.rstrip(" ")[:132])


def substring(s, maxsub, what):
    words = [w for w in s.rstrip(" ").split(" ") if w]
    if len(words) > maxsub:
        raise StopRun("%s: more than %d words" % (what, maxsub))
    return words


def pow10(n):
    """10**|n| by repeated squaring, and its reciprocal for a negative n."""
    r, b, u = 1.0, 10.0, abs(n)
    while u:
        if u & 1:
            r *= b
        u >>= 1
        if u:
            b *= b
    return 1.0 / r if n < 0 else r


def int32(text, what):
    v = int(text) if text not in ("", "+", "-") else 0
    if not -2147483648 <= v <= 2147483647:
        raise StopRun("%s: %s does not fit a 32-bit integer" % (what, text))
    return v


def int64(digits, what):
    v = int(digits) if digits else 0
    if v > 9223372036854775807:
        raise StopRun("%s: %s does not fit a 64-bit integer" % (what, digits))
    return v


def trunc32(x):
    if math.isnan(x):
        return 0
    if x >= 2147483647.0:
        return 2147483647
    if x <= -2147483648.0:
        return -2147483648
    return int(x)


def isnumber(s, what="option"):
    """(kind, ival, xval): kind 0 not a number, 1 integer, 2 real."""
    s = s.strip(" ")
    if not s:
        return 0, 0, 0.0
    sign = -1.0 if s[0] == "-" else 1.0
    body = s[1:] if s[0] in "+-" else s
    if not body:
        return 0, 0, 0.0
    point = letter = esign = None
    for i, c in enumerate(body):
        if c == ".":
            if point is not None:
                return 0, 0, 0.0
            point = i
        elif c in "dDeE":
            if letter is not None:
                return 0, 0, 0.0
            letter = i
        elif c in "+-":
            if esign is not None or letter is None or letter == 0 or i != letter + 1:
                return 0, 0, 0.0
            esign = i
        elif not "0" <= c <= "9":
            return 0, 0, 0.0
    if point is not None and letter is not None and point > letter:
        return 0, 0, 0.0
    if point is None and letter is None:
        ival = int32(body, what)
        ival = -ival if sign < 0 else ival
        return 1, ival, float(ival)
    end = letter if letter is not None else len(body)
    if point is None:
        x = sign * float(int64(body[:end], what))
    else:
        frac = body[point + 1:end]
        x = sign * (float(int64(body[:point], what))
                    + float(int64(frac, what)) * pow10(-len(frac)))
    if letter is not None:
        x = x * pow10(int32(body[letter + 1:], what))
    return 2, trunc32(x), x


def getoption(key, line):
    """None when the key is absent, else the list of (kind, ival, xval) items of its value."""
    lineu = to_upper(left_adjust(line))
    keyu = to_upper(left_adjust(key))
    words = substring(lineu, 100, "option search")
    word = next((w for w in words if w.startswith(keyu)), None)
    if word is None:
        return None
    if "(" in word:
        i, j = word.index("("), word.rfind(")")
        value = word[i + 1:j] if j > i else ""
    elif "=" in word:
        value = word[word.index("=") + 1:]
    else:
        return []
    items = substring(value.replace(",", " ").replace(";", " "), 50, "option " + key)
    return [isnumber(item) for item in items]


def first_real(items):
    return items[0][2] if items and items[0][0] else 0.0


def first_int(items):
    return items[0][1] if items and items[0][0] else 0


# --- fixed-column input fields ----------------------------------------------------------------

REAL = re.compile(r"([+-]?)([0-9]*)(\.?)([0-9]*)(?:[EeDd]([+-]?[0-9]+)|([+-][0-9]+))?")


def read_real(text, d, what):
    """Fw.d / Gw.d input: blanks ignored; without a point the last d digits are the fraction."""
    s = text.replace(" ", "")
    if not s:
        return 0.0
    m = REAL.fullmatch(s)
    if not m or not (m.group(2) or m.group(4)):
        raise StopRun('%s: cannot read "%s" as a real number' % (what, text))
    exponent = int(m.group(5) or m.group(6) or "0")
    if m.group(3):
        digits, point = m.group(2) + "." + m.group(4), 0
    else:
        digits, point = m.group(2), d
    return float("%s%se%d" % (m.group(1), digits, exponent - point))  # correctly rounded


def read_int(text, what):
    s = text.replace(" ", "")
    if not s:
        return 0
    if not re.fullmatch(r"[+-]?[0-9]+", s):
        raise StopRun('%s: cannot read "%s" as an integer' % (what, text))
    return int32(s, what)


def field(line, first, width):
    return line[first - 1:first - 1 + width].ljust(width)


def text_lines(path):
    """Lines of a text file, each cut to 255 characters; a missing file reads as empty."""
    if not os.path.exists(path):
        return []
    try:
        with open(path, "rb") as f:
            data = f.read().decode("latin-1")
    except OSError as e:
        raise StopRun("%s: cannot be opened (%s)" % (os.path.basename(path), e.strerror))
    lines = data.split("\n")
    if lines[-1] == "":
        lines.pop()
    return [ln[:-1][:255] if ln.endswith("\r") else ln[:255] for ln in lines]


# --- job input ----------------------------------------------------------------------------

class Molecule:
    def __init__(self, role, name, filename, written):
        self.role, self.name, self.filename, self.written = role, name, filename, written
        self.mult = self.rotnum = NOT_GIVEN
        self.etot = float(NOT_GIVEN)
        self.stoich = self.symgroup = " " * 10
        self.natoms = self.linear = self.nneg = 0
        self.mass, self.pmoi, self.nfreq = 0.0, [0.0, 0.0, 0.0], 0.0
        self.freq, self.xinten = [], []


class Job:
    def __init__(self, T=298.15, P=101325.0, conc=0.0, nexp=0):
        self.T, self.P, self.conc, self.nexp = T, P, conc, nexp
        self.mol = {1: [], 2: [], 3: []}


def read_job(path):
    job = Job()
    for number, line in enumerate(text_lines(path), start=1):
        what = "%s line %d" % (os.path.basename(path), number)
        lineu = to_upper(left_adjust(line)) + " "  # the view is blank-padded
        if lineu.startswith("!"):
            continue
        if lineu.strip(" ") == "":
            break
        if lineu.startswith("COND"):
            for key, attr in (("TT", "T"), ("TEMP", "T"), ("PP", "P"), ("PRES", "P")):
                items = getoption(key, line)
                if items is not None:
                    setattr(job, attr, first_real(items))
        elif lineu.startswith("KEFF"):
            words = substring(lineu, 20, what)
            if len(words) >= 2:
                job.conc = read_real(words[1][:20], 10, what)
                job.nexp = 1
            if len(words) >= 3:
                job.nexp = read_int(words[2][:20], what)
        elif lineu.startswith(("REACT", "PROD", "TS ")):
            words = substring(lineu, 20, what)
            role = 1 if "REACT" in words[0] else 2 if "PROD" in words[0] else 3
            if len(job.mol[role]) == 10:
                raise StopRun("%s: an eleventh molecule of role %d (MOL)" % (what, role))
            # the data file name as written: word 3 of the same 132-character view of the line
            view = substring(left_adjust(line).rstrip(" ")[:132], 20, what)
            mol = Molecule(role, words[1][:20] if len(words) > 1 else "",
                           words[2] if len(words) > 2 else "", view[2] if len(view) > 2 else "")
            options = " ".join(words[3:])
            items = getoption("MULT", options)
            if items is not None:
                mol.mult = first_int(items)
            items = getoption("ROTNUM", options)
            if items is not None:
                mol.rotnum = first_int(items)
            items = getoption("ETOT", options)
            if items is not None:
                mol.etot = first_real(items)
            job.mol[role].append(mol)
    return job


# --- molecule data file -------------------------------------------------------------------

MOMENTS = "Ia,Ib,Ic, amu*A^2"
COORDS = "Molecular coordinates in principal axes (A)"
MODES = "No. Frequency Intensity"
BLOCK_END = "----------"


def data_file_path(folder, mol):
    if not mol.filename.strip():
        raise StopRun("molecule %s has no data file name" % mol.name.rstrip())
    for name in (mol.written, mol.filename):
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return path
    return os.path.join(folder, mol.written)  # the program creates it empty


def read_data_file(path, mol):
    lines = text_lines(path)
    base = os.path.basename(path)
    count = 0  # atom counter, 0 at each read of a file
    k = 0

    def skip():
        nonlocal k
        if k >= len(lines):
            raise StopRun("%s: end of file" % base)
        k += 1

    while k < len(lines):
        buf = lines[k]
        k += 1
        what = "%s line %d" % (base, k)
        if MOMENTS in buf:
            mol.pmoi = [read_real(field(buf, 20 + 15 * i, 15), 6, what) for i in range(3)]
        if COORDS in buf:
            skip()
            count = 0
            while k < len(lines):
                buf = lines[k]
                k += 1
                if BLOCK_END in buf:
                    break
                count += 1
                if count > 100:
                    raise StopRun("%s: atom %d exceeds NA" % (base, count))
                read_int(field(buf, 15, 3), "%s line %d" % (base, k))
                for i in range(3):
                    read_real(field(buf, 21 + 15 * i, 15), 6, "%s line %d" % (base, k))
            what = "%s line %d" % (base, k)
        mol.natoms = count
        if mol.rotnum == NOT_GIVEN and "Rotation number set to  :" in buf:
            mol.rotnum = read_int(field(buf, 27, 10), what)
        if "Molecular mass          :" in buf:
            mol.mass = read_real(field(buf, 27, 10), 4, what)
        if "Symmetry group          :" in buf:
            mol.symgroup = field(buf, 27, 10)
        if "Stoichiometry           :" in buf:
            mol.stoich = field(buf, 27, 10)
        if "Num. of imaginary freqs :" in buf:
            mol.nneg = read_int(field(buf, 27, 10), what)
        if mol.mult == NOT_GIVEN and "Spin multiplicity of molecule =" in buf:
            mol.mult = read_int(field(buf, 33, 2), what)
        if abs(mol.etot - 999999.0) < 1.0e-6 and "Base Energy :" in buf:
            mol.etot = read_real(field(buf, 15, 17), 8, what)
        if MODES in buf:
            skip()
            skip()
            n = 0
            while k < len(lines):
                buf = lines[k]
                k += 1
                if BLOCK_END in buf:
                    break
                n += 1
                if n > 300:
                    raise StopRun("%s: mode %d exceeds FREQ" % (base, n))
                f = read_real(field(buf, 5, 9), 3, "%s line %d" % (base, k))
                x = read_real(field(buf, 14, 9), 3, "%s line %d" % (base, k))
                if n <= len(mol.freq):  # a second block overwrites the first one's entries
                    mol.freq[n - 1], mol.xinten[n - 1] = f, x
                else:
                    mol.freq.append(f)
                    mol.xinten.append(x)
            mol.nfreq = float(n)
    p = mol.pmoi
    scale = max(abs(p[0]), abs(p[1]))
    mol.linear = int(scale > 0.0 and abs(p[0] - p[1]) / scale < 0.001 and abs(p[2]) < 0.001)


# --- thermochemistry of one molecule (RRHO) ----------------------------------------------

def tdrrho(mol, t, p):
    """Contributions, totals and the six results stored in the molecule record."""
    mol.td = molecule_thermo(mol, t, p)
    mol.qtot, mol.stot = mol.td["QTOT"], mol.td["STOT"]
    mol.ezpe, mol.eu, mol.eh, mol.eg = (mol.td[k] for k in ("EZPE", "EU", "EH", "EG"))


# --- report: banner and molecule sections -----------------------------------------------

CREDITS = ("RRHO thermochemistry of reactants, products and TS",
           "Reaction and activation energies, enthalpies,",
           "entropies and Gibbs energies",
           "Rate constants kQ and kG, effective rate constant",
           "Wigner, parabolic and Skodje-Truhlar tunnelling",
           "C++ edition")


def banner(build=BUILD):
    box = ["*" * 55,
           "*                   Orvalen v.0.1                     *",
           "*               (build number" + I(build, 6) + ")                  *",
           "*" + " " * 53 + "*",
           "*        Transition State Theory calculations         *",
           "*" + " " * 53 + "*"]
    for text in CREDITS:
        left = (53 - len(text)) // 2
        box.append("*" + " " * left + text + " " * (53 - left - len(text)) + "*")
    box.append("*" * 55)
    return [" " * 13 + line for line in box] + ["", ""]


def energy(label, x, tail=" Hartree  "):
    # ( ' Htot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')
    return (label + F(x, 10, 3) + "  kJ/mol" + F(x * KJ2KCAL, 10, 3) + "  kcal/mol"
            + F(x * KJ2HARTREE, 16, 8) + tail)


def entropy(label, s):
    # ( ' Stot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')
    return (label + F(s, 10, 3) + " J/K/mol" + F(s * KJ2KCAL, 10, 3) + " cal/K/mol"
            + F(s * (KJ2HARTREE * 0.001), 16, 8) + " Hartree/K")


def partition(name, q):
    # (/' Qtot = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)
    return (" %s = " % name + E(q, 15, 5) + "   ln(%s)=" % name + F(log(q), 12, 5)
            + "   lg(%s)=" % name + F(log10(q), 12, 5))


def vib_row(r):
    # (i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5)
    return (I(r["n"], 4) + F(r["freq"], 9, 3) + F(r["inten"], 9, 3) + F(r["scaled"], 9, 3)
            + F(0.0, 9, 2) + " " + I(r["used"], 2)
            + "".join(F(r[k], 9, 3) for k in ("theta", "S", "ZPE", "HH0", "H", "G", "C"))
            + E(r["Q0"], 12, 5))


def block(out, suffix, c, tail):
    """The U, H, S, F, G lines of one contribution."""
    out.append(energy(" U%s = " % suffix, c["U"], tail))
    out.append(energy(" H%s = " % suffix, c["H"], tail))
    out.append(entropy(" S%s = " % suffix, c["S"]))
    out.append(energy(" F%s = " % suffix, c["F"], tail))
    out.append(energy(" G%s = " % suffix, c["G"], tail))


def molecule_section(mol, t, p):
    td = mol.td
    el, tr, ro, vi, tot = td["elec"], td["tran"], td["rot"], td["vib"], td["tot"]
    out = ["", " ************* TD properties of molecule " + A(mol.name.ljust(20), 20)]
    out += ["", " Temperature   : " + F(t, 12, 2) + " K "]
    out.append(" Pressure      : " + F(p, 12, 2) + " Pa")
    out.append(" Multiplicity  : " + I(mol.mult, 12))
    out.append(" Molecular mass: " + F(mol.mass, 12, 2) + " amu")
    out.append(" Rot. number   : " + I(mol.rotnum, 12))
    out.append(" PMOI, amu*A**2: " + "".join(F(x, 12, 6) for x in mol.pmoi))
    out.append(" Linearity     : " + I(mol.linear, 12))

    out += ["", "", " *** Electronic contribution ***", "", partition("Qelec", el["Q"]), ""]
    block(out, "elec", el, " Hartree")
    out.append("")
    out += ["", " *** Translational contribution ***", "", partition("Qtran", tr["Q"]), ""]
    block(out, "tran", tr, " Hartree  ")
    out.append("")
    out += [" *** Rotational contribution ***", "", partition("Qrot", ro["Q"]), ""]
    block(out, "rot", ro, " Hartree  ")
    out.append("")

    out += [" *** Vibrational contribution ***", ""]
    out.append("Scaling factor for frequencies:" + F(1.0, 9, 4))
    out.append("In the table below, Hvib, Gvib are measured from the potential bottom"
               " (ZPE included), Qvib - from ZERO level!")
    out += ["", ""]
    out.append("No. Frequency Intensity  Scaled  Reduced Used  Theta     Svib      ZPE   (H-H0)"
               "     Hvib     Gvib     Cvib    Qvib  ")
    out.append("      cm-1      km/mol    Freq     Mass  inTD?   K    J/K/mol   kJ/mol   kJ/mol"
               "   kJ/mol   kJ/mol  J/K/mol          ")
    out.append("-" * 118)
    out += [vib_row(r) for r in td["rows"]]
    out.append("-" * 118)
    # (' Total for ',i4,' vibrations',26X,6f9.3,1pE12.5)
    out.append(" Total for " + I(vi["used"], 4) + " vibrations" + " " * 26
               + "".join(F(vi[k], 9, 3) for k in ("S", "ZPE", "HH0", "H", "G", "C"))
               + E(vi["Q"], 12, 5))

    out += ["", "", " *** Total for ELEC+TRANS+ROT+VIBR contributions ***", ""]
    out.append(partition("Qtot", tot["Q"]))
    out.append(energy(" ZPEtot ", tot["ZPE"]))
    out.append(energy(" Utot = ", tot["U"]))
    out.append(energy(" Htot = ", tot["H"]))
    out.append(entropy(" Stot = ", tot["S"]))
    out.append(energy(" Gtot = ", tot["G"]))

    e = mol.etot
    out += ["", "", " *** Total energy corrected by TD functions ****", ""]
    out.append(" Etot        = " + F(e, 16, 8)
               + "  (Etot used as a BaseEnergy for TD calculations)")
    for label, x in (("ZPEtot", tot["ZPE"]), ("Utot", tot["U"]), ("Htot", tot["H"]),
                     ("Ftot", tot["F"]), ("Gtot", tot["G"])):
        # (  ' Etot+Htot   = ',f16.8,10x,' (Htot   = ',f16.8,')')
        out.append(" Etot+%-6s = " % label + F(e + x * KJ2HARTREE, 16, 8) + " " * 10
                   + " (%-6s = " % label + F(x * KJ2HARTREE, 16, 8) + ")")
    out.append("")
    out += ["", " " + "*" * 88, ""]
    return out


# --- report: reaction, rate constants, effective rate constant, tunnelling ----------------

def blank_last(t):
    s = t.rstrip(" ")
    return t if not s else s[:-1] + " " + t[len(s):]


def append(t, tail):
    return (t.rstrip(" ") + tail)[:255].ljust(255)


def title(job, start, other, arrow):
    """Reactant names, the arrow, the other role's names, all joined by '+', cut at 255."""
    t = start.ljust(255)
    for role in (1, other):
        for j, m in enumerate(job.mol[role]):
            if role == other and j == 0:
                t = append(blank_last(t), arrow)
            t = append(t, " " + m.name.rstrip(" ") + " +")
    return blank_last(t)


def condition_lines(job):
    return ["",
            " Temperature  = " + F(job.T, 15, 2) + " K",
            " Pressure     = " + F(job.P, 15, 2) + " Pa" + F(job.P / 101325.0, 10, 4) + " atm"
            + F(job.P / 101325.0 * 760.0, 10, 2) + " torr" + F(job.P / 100000.0, 10, 2) + " bar"]


def reaction_totals(R, Pr):
    """Products minus reactants: DrE, DrZPE, DrU, DrH, DrG (Hartree), DrS (Hartree/K) and
    DrQ, the quotient of the products' Qtot by the reactants'."""
    dr = dict(E=0.0, ZPE=0.0, U=0.0, H=0.0, G=0.0, S=0.0, Q=1.0)
    for s, ms in ((-1.0, R), (1.0, Pr)):
        for m in ms:
            dr["E"] += s * m.etot
            dr["ZPE"] += s * m.ezpe
            dr["U"] += s * m.eu
            dr["H"] += s * m.eh
            dr["G"] += s * m.eg
            dr["S"] += s * m.stot
            dr["Q"] = dr["Q"] * m.qtot if s > 0 else div(dr["Q"], m.qtot)
    return dr


def reaction_section(job):
    """The lines of the reaction section and DrZPE (Hartree)."""
    R, Pr = job.mol[1], job.mol[2]
    if not R or not Pr:
        return [], 0.0
    dr = reaction_totals(R, Pr)
    out = ["", "", " " + title(job, " Thermodynamic functions for the reaction", 2, " ==").rstrip()]
    out += condition_lines(job)
    out += ["", " " * 13 + "".join(A(m.name.ljust(20), 15) for m in R) + "    =        "
            + "".join(A(m.name.ljust(20), 15) for m in Pr)
            + " " * 8 + "DrE, a.u.       kcal/mol         kJ/mol"]
    out.append(" Nneg   " + "".join(I(m.nneg, 15) for m in R) + " " * 12
               + "".join(I(m.nneg, 15) for m in Pr))
    out.append(" RotNum " + "".join(I(m.rotnum, 15) for m in R) + " " * 12
               + "".join(I(m.rotnum, 15) for m in Pr))
    for label, key, attr in ((" E      ", "E", "etot"), (" E+ZPE  ", "ZPE", "ezpe"),
                             (" E+U    ", "U", "eu"), (" E+H    ", "H", "eh"),
                             (" E+G    ", "G", "eg")):
        kj = dr[key] / KJ2HARTREE
        out.append(label + "".join(F(getattr(m, attr), 15, 7) for m in R) + " " * 12
                   + "".join(F(getattr(m, attr), 15, 7) for m in Pr) + " " * 8
                   + F(dr[key], 15, 7) + F(kj * KJ2KCAL, 15, 2) + F(kj, 15, 2))
    out += ["", " File   " + "".join(" " + A(m.filename.ljust(255), 14) for m in R) + " " * 12
            + "".join(" " + A(m.filename.ljust(255), 14) for m in Pr)]
    out += ["", "", " DrQ = " + E(dr["Q"], 15, 5) + "   ln(Qtot)=" + F(log(dr["Q"]), 12, 5)
            + "   lg(Qtot)=" + F(log10(dr["Q"]), 12, 5)]
    out.append("")
    for label, key in ((" DrEE  ", "E"), (" DrZPE ", "ZPE"), (" DrU = ", "U"), (" DrH = ", "H")):
        out.append(dr_line(label, dr[key]))
    sj = dr["S"] / KJ2HARTREE * 1000.0
    out.append(" DrS = " + F(sj, 10, 3) + " J/K/mol" + F(sj * KJ2KCAL, 10, 3) + " cal/K/mol"
               + F(dr["S"], 16, 8) + " Hartree/K")
    out.append(dr_line(" DrG = ", dr["G"]))
    return out, dr["ZPE"]


def dr_line(label, h):
    # ( ' DrH = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ') from h in Hartree
    kj = h / KJ2HARTREE
    return (label + F(kj, 10, 3) + "  kJ/mol" + F(kj * KJ2KCAL, 10, 3) + "  kcal/mol"
            + F(h, 16, 8) + " Hartree  ")


def ipow(b, n):
    """b**n by repeated squaring, reciprocal of the base first for n < 0."""
    r = 1.0
    if n == 0:
        return r
    u = n
    if u < 0:
        u, b = -u, div(1.0, b)
    while True:
        if u & 1:
            r *= b
        u >>= 1
        if u == 0:
            return r
        b *= b


def concentration_factors(m, T):
    """Fc = 1 (1/s), (RT/(P0 NA))^(m-1) (m3/molecule), (1e6 RT/(P0 NA))^(m-1)
    (cm3/molecule) and (1000 RT/P0)^(m-1) (L/mol), each as the reciprocal to the power 1-m."""
    RT = RGAS * T
    e = 1 - m
    return [1.0, ipow(div(P0, RT) * AVOGADRO, e), ipow(div(P0, RT) * AVOGADRO / 1000000.0, e),
            ipow(div(P0, RT) / 1000.0, e)]


def rate_constants(R, TS, T):
    """Activation quantities (transition states minus reactants) and the rate constants.

    ProdQ = prod Qtot(TS) / prod Qtot(R); with m reactants, RT in J/mol, kB T/h,
    E0 = exp(-dH0/RT) and the concentration factors Fc: A = kT/h ProdQ Fc; kQ = A E0;
    kG = kT/h exp(-(dG + RT)/RT) Fc."""
    act = dict(Ea=0.0, H0=0.0, H=0.0, S=0.0, G=0.0, Q=1.0)
    for s, ms in ((-1.0, R), (1.0, TS)):
        for m in ms:
            act["Q"] = act["Q"] * m.qtot if s > 0 else div(act["Q"], m.qtot)
            act["Ea"] += s * m.etot
            act["H0"] += s * m.ezpe
            act["H"] += s * m.eh
            act["S"] += s * m.stot
            act["G"] += s * m.eg
    mm = len(R)
    RTk = RGAS * 0.001 * T
    kTh = BOLTZ * T / PLANCK
    x = act["H0"] / KJ2HARTREE
    E0 = exp(div(-x, RTk))
    fc = concentration_factors(mm, T)
    a = [kTh * act["Q"] * f for f in fc]
    kq = [v * E0 for v in a]
    y = act["G"] / KJ2HARTREE + RTk
    kg = [kTh * exp(div(-y, RTk)) * f for f in fc]
    return dict(act, m=mm, kTh=kTh, E0=E0, Fc=fc, A=a, kQ=kq, kG=kg)


def rate_section(job):
    """The lines of the rate-constant section, dH0 (Hartree) and the four kG values."""
    R, TS = job.mol[1], job.mol[3]
    if not R or not TS:
        return [], 0.0, [0.0] * 4
    k = rate_constants(R, TS, job.T)
    mm, kTh, prodq, E0 = k["m"], k["kTh"], k["Q"], k["E0"]

    out = ["", "", " " + title(job, " Kinetic parameters for the reaction", 3, " ->").rstrip()]
    out += condition_lines(job)
    out += ["", " " * 55 + "a.u.         kcal/mol         kJ/mol"]
    out.append(activation_line(" Activation total energy dEa                  ", k["Ea"]))
    out.append(activation_line(" Activation enthalpy at 0K dH0=d(E+ZPE)       ", k["H0"]))
    out.append(activation_line(" Activation enthalpy at the given T           ", k["H"]))
    skj = k["S"] / KJ2HARTREE
    out.append(" Activation entropy            at T           " + F(k["S"], 15, 8)
               + F(skj * KJ2KCAL * 1000.0, 15, 2) + F(skj * 1000.0, 15, 2) + " J/mol/K")
    out.append(activation_line(" Activation Gibbs free energy  at T           ", k["G"]))
    out += ["", " Molecularity of elementary reaction m        " + I(mm, 15)]
    out.append(" Factor kB*T/h, 1/s                           " + E(kTh, 15, 6))
    out.append(" Partition functions product ProdQ            " + E(prodq, 15, 6))
    out.append(" Frequency factor kT/h*ProdQ, 1/s             " + E(kTh * prodq, 15, 6))
    out.append(" Exponential factor Exp(-dH0/RT)              " + E(E0, 15, 6))
    out.append(" Reaction probability kT/h*ProdQ*Exp(-dH0/RT) " + E(kTh * prodq * E0, 15, 6))
    out.append("")
    if mm == 2:
        units = "1/s             m3/molecule/s       cm3/molecule/s        L/Mol/s"
    elif mm == 3:
        units = "1/s             m6/molecule2/s      cm6/molecule2/s       L2/Mol2/s"
    else:
        units = ("1/s             m" + I(3 * mm - 3, 1) + "/molecule" + I(mm - 1, 1)
                 + "/s      cm" + I(3 * mm - 3, 1) + "/molecule" + I(mm - 1, 1)
                 + "/s       L" + I(mm - 1, 1) + "/Mol" + I(mm - 1, 1) + "/s")
    out.append(" " * 53 + units)
    out.append(" Concentration factor Fc=(RT/P)**(m-1)   " + "".join(E(v, 20, 6) for v in k["Fc"]))
    out.append(" Pre-exponential fctr A=kT/h*ProdQ*Fc    " + "".join(E(v, 20, 6) for v in k["A"]))
    out.append(kq_line(k["kQ"]))
    out += ["", kg_line(k["kG"])]
    return out, k["H0"], k["kG"]


def activation_line(label, h):
    # h in Hartree, then kcal/mol and kJ/mol
    kj = h / KJ2HARTREE
    return label + F(h, 15, 8) + F(kj * KJ2KCAL, 15, 2) + F(kj, 15, 2)


def kq_line(kq):
    return " Rate constant kQ     k(T)=A*Exp(-dH0/RT)" + "".join(E(v, 20, 6) for v in kq)


def kg_line(kg):
    return (" Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc" + E(kg[0], 17, 6)
            + "".join(E(v, 20, 6) for v in kg[1:]))


def effective_constants(kg, c, n):
    """kG * C**n in each unit: C in molecules/cm3, as molecules/m3 and mol/L for the others."""
    return [kg[0], kg[1] * ipow(c * 1000000.0, n), kg[2] * ipow(c, n),
            kg[3] * ipow(c / AVOGADRO * 1000.0, n)]


def keff_line(k):
    return (" Effective rate constant kG * C**n          " + D(k[0], 17, 6)
            + "".join(D(v, 20, 6) for v in k[1:]))


def effective_lines(job, kg):
    if job.nexp < 1:
        return []
    c, n = job.conc, job.nexp
    return ["", keff_line(effective_constants(kg, c, n)),
            " Concentration C = " + E(c, 12, 3) + " molecules/cm3,   n =" + I(n, 4)]


def tunnelling(T, vim, dH0, drzpe):
    """Wigner, uniform parabolic and Skodje-Truhlar transmission coefficients.

    With the imaginary frequency vim (cm-1), u = h nu/kT, beta = 1/kT, alpha = 2 pi/(h nu),
    the barrier V0 = dH0 and the exoergicity V2 = max(DrZPE, 0) per molecule:
    kW = 1 + u^2/24; kP = (u/2)/sin(u/2); kST1 = pi(beta/alpha)/sin(pi beta/alpha)
    - beta/(alpha - beta) exp((beta - alpha)(V0 - V2)); kST2 = beta/(beta - alpha)
    (exp((beta - alpha)(V0 - V2)) - 1); kST is kST2 when beta > alpha (or either is NaN),
    else kST1."""
    bet = div(1.0, BOLTZ * T)
    vimHZ = abs(vim) * CLIGHT * 100.0
    hv = PLANCK * vimHZ
    V0 = dH0 / KJ2HARTREE
    V2 = drzpe / KJ2HARTREE
    if V2 < 0.0:
        V2 = 0.0
    V0J = V0 * 1000.0 / AVOGADRO
    V2J = V2 * 1000.0 / AVOGADRO
    u = hv * bet
    kW = 1.0 + u * u * 0.041666666666666664
    half = 0.5 * bet * hv
    kP = div(half, sin(half))
    alp = div(2.0 * PI, PLANCK * vimHZ)
    bma = bet - alp
    ratio = div(bet, alp)
    ee = exp(bma * (V0J - V2J))
    kST1 = div(PI * ratio, sin(PI * ratio)) - div(bet, alp - bet) * ee
    kST2 = div(bet, bma) * (ee - 1.0)
    kST = kST2 if bet > alp or math.isnan(bet) or math.isnan(alp) else kST1
    return {"u": u, "kW": kW, "kP": kP, "kST": kST, "kST1": kST1, "kST2": kST2,
            "alp": alp, "bet": bet}


def tunnelling_lines(job, dH0, drzpe):
    """The three coefficient lines, from the seventh mode of the first transition state."""
    ts = job.mol[3]
    vim = ts[0].freq[6] if ts and int(ts[0].nfreq) >= 7 else 0.0
    tn = tunnelling(job.T, vim, dH0, drzpe)
    # the misspelt "coeeficient" and "Thrular" are the report's own fixed texts
    return ["", "",
            " Transmission coeeficient by Wigner theory                  =" + F(tn["kW"], 20, 10),
            " Transmission coeeficient for uniform parabolic potential   =" + F(tn["kP"], 20, 10),
            " Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)="
            + F(tn["kST"], 20, 10) + F(tn["kST1"], 20, 10) + F(tn["kST2"], 20, 10)]


# --- the whole report ---------------------------------------------------------------------

def compute(folder, job_name):
    job = read_job(os.path.join(folder, job_name + ".inp"))
    for role in (1, 2, 3):  # every data file is read before any thermochemistry
        for mol in job.mol[role]:
            read_data_file(data_file_path(folder, mol), mol)
    for role in (1, 2, 3):
        for mol in job.mol[role]:
            tdrrho(mol, job.T, job.P)
    return job


def report_lines(job):
    out = banner()
    for role in (1, 2, 3):
        for mol in job.mol[role]:
            out += molecule_section(mol, job.T, job.P)
    lines, drzpe = reaction_section(job)
    out += lines
    lines, dH0, kg = rate_section(job)
    out += lines
    out += effective_lines(job, kg)
    out += tunnelling_lines(job, dH0, drzpe)
    return out


def report_text(folder, job_name):
    return "".join(line + "\n" for line in report_lines(compute(folder, job_name)))


# --- self-test ----------------------------------------------------------------------------

def self_test():
    failures = []

    def same(label, got, want):
        if got != want:
            failures.append(label)

    # The rates fixtures (reaction, rate, effective-rate and tunnelling sections, with NaN and
    # overflow cases) as written by make_expected.py from these sections are the ones held.
    sys.path.insert(0, os.path.join(ROOT, "tests", "fixtures", "rates"))
    import make_expected
    for name, case in make_expected.cases().items():
        with open(os.path.join(ROOT, "tests", "fixtures", "rates", name + ".txt")) as f:
            same("rates fixture " + name, make_expected.expected(case), f.read())

    # Every molecule of the examples as reference.py reads it (molfile.py's reader, the
    # job-line options) against this reader, bit for bit, and the tunnelling lines.
    import reference
    for ex in ("oh_ch4", "hcn_hnc", "h_h2"):
        folder = os.path.join(ROOT, "examples", ex)
        job = compute(folder, ex)
        ref = reference.load_job(folder)
        for role in (1, 2, 3):
            for mol, r in zip(job.mol[role], ref.mol[role]):
                for key in ("qtot", "stot", "ezpe", "eu", "eh", "eg"):
                    same("%s %s %s" % (ex, mol.name, key), getattr(mol, key), getattr(r, key))
        same("%s tunnelling" % ex, report_lines(job)[-3:], reference.job_lines(folder)[-3:])

    # Every data file of the examples and the test jobs against molfile.py's reader.
    import glob
    import molfile
    for path in sorted(glob.glob(os.path.join(ROOT, "examples", "*", "*.dat"))
                       + glob.glob(os.path.join(ROOT, "tests", "e2e", "jobs", "*", "*.dat"))):
        mol = Molecule(1, "", "", "")
        read_data_file(path, mol)
        ref = molfile.read_data_file(path)
        got = (mol.pmoi, mol.mass, mol.rotnum, mol.mult, mol.etot, mol.nneg, mol.natoms,
               mol.linear, list(zip(mol.freq, mol.xinten)), mol.nfreq, mol.symgroup, mol.stoich)
        want = (ref["pmoi"], ref["mass"], ref["rotnum"], ref["mult"], ref["etot"], ref["nneg"],
                ref["natoms"], ref["linear"], ref["modes"], float(len(ref["modes"])),
                ref["symgroup"], ref["stoich"])
        same("data file " + os.path.relpath(path, ROOT), got, want)

    # The water job against its section from tests/fixtures/thermo/water_section.py.
    water = os.path.join(ROOT, "tests", "e2e", "jobs", "water")
    with open(os.path.join(water, "water.expected")) as f:
        same("water job", report_text(water, "water"), f.read())

    # The banner against the one the driver tests hold (credit lines centred in 53 columns).
    with open(os.path.join(ROOT, "tests", "driver", "program_start_test.cpp")) as f:
        src = f.read()
    held = re.findall(r'"(.*?)\\n"', re.search(r"BANNER_347 =\n(.*?);\n", src, re.S).group(1))
    same("banner", banner(), held)

    # Stiff modes at 10 K (theta/T 437 and 538, where the square in dQ/dT overflows) against
    # the closed forms SVIB = R (u/(e^u - 1) - ln(1 - e^-u)), HVIB = ZPE + R theta/(e^u - 1)
    # (both thermal terms vanish: S = 0 and H = ZPE to far beyond the printed digits).
    rows, _ = vibrational([3036.0, 3738.0], [0.0, 0.0], 2.0, 10.0)
    for r in rows:
        u = r["theta"] / 10.0
        s = RGAS * (u / math.expm1(u) - math.log1p(-math.exp(-u)))
        h = r["ZPE"] + RGAS * r["theta"] / math.expm1(u) / 1000.0
        same("cold mode %g S" % r["freq"], abs(r["S"] - s) < 1e-9, True)
        same("cold mode %g H" % r["freq"], abs(r["H"] - h) < 1e-9, True)

    # The scanner's worked values.
    for text, want in (("298.15", (2, 298, 298.15)), ("-5", (1, -5, -5.0)), ("+7", (1, 7, 7.0)),
                       ("1.5E3", (2, 1500, 1500.0)), ("1.5d3", (2, 1500, 1500.0)),
                       ("2E-3", (2, 0, 0.002)), ("1E", (2, 1, 1.0)), (".5", (2, 0, 0.5)),
                       ("5.", (2, 5, 5.0)), (".", (2, 0, 0.0)), ("E", (2, 0, 0.0)),
                       ("-", (0, 0, 0.0)), ("1.2.3", (0, 0, 0.0)), ("1E3.5", (0, 0, 0.0)),
                       ("1-2", (0, 0, 0.0)), ("E+5", (0, 0, 0.0)), ("12a", (0, 0, 0.0))):
        same("isnumber " + text, isnumber(text), want)
    same("X=(1,2.5;abc)", getoption("X", "X=(1,2.5;abc)"), [(1, 1, 1.0), (2, 2, 2.5), (0, 0, 0.0)])
    same("TEMP 300", getoption("TEMP", "TEMP 300"), [])
    same("K=(1, 2)", getoption("K", "K=(1, 2)"), [])
    for text, want in (("2.5E15", 2.5e15), ("25E14", 2.5e5), ("1000", 1.0e-7)):
        same("G20.10 " + text, read_real(text.ljust(20), 10, "KEFF"), want)

    for label in failures:
        print("FAIL", label)
    print("self-test: %s" % ("%d failure(s)" % len(failures) if failures else "all passed"))
    return 1 if failures else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    check = len(argv) == 4 and argv[1] == "--check"
    args = argv[2:] if check else argv[1:]
    if len(args) != 2 or not os.path.isdir(args[0]):
        print(__doc__)
        return 2
    folder, job_name = args
    text = report_text(folder, job_name)
    path = os.path.join(folder, job_name + ".expected")
    if check:
        with open(path) as f:
            held = f.read()
        print("%s: %s" % (path, "agrees" if held == text else "DIFFERS"))
        return 0 if held == text else 1
    with open(path, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
