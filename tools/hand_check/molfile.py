"""Fixed-column readers for job input files and molecule data files, in plain python3.

Values are taken from fixed columns as the Fortran-style edit descriptors read them:
"(26x,f10.4)" means columns 27-36 as a real with an implied 4 decimals when the field has
no decimal point. Markers are recognised anywhere in a line, values never searched for.
"""

import re


class FormatError(Exception):
    pass


def field(line, first, width):
    """Columns first .. first+width-1 (numbered from 1), blank beyond the end of the line."""
    return line[first - 1:first - 1 + width].ljust(width)


def read_int(text, where):
    """Iw input: blanks ignored, an optional sign and digits; all blanks is 0."""
    s = text.replace(" ", "")
    if s == "":
        return 0
    if not re.fullmatch(r"[+-]?[0-9]+", s):
        raise FormatError('%s: cannot read "%s" as an integer' % (where, text))
    return int(s)


def read_real(text, decimals, where):
    """Fw.d input: blanks ignored; without a decimal point the last d digits are the fraction."""
    s = text.replace(" ", "")
    if s == "":
        return 0.0
    m = re.fullmatch(r"([+-]?)([0-9]*)(\.?)([0-9]*)(?:(?:[EeDd]([+-]?[0-9]+))|([+-][0-9]+))?", s)
    if not m or (m.group(2) == "" and m.group(4) == ""):
        raise FormatError('%s: cannot read "%s" as a real number' % (where, text))
    sign, ipart, point, fpart = m.group(1), m.group(2), m.group(3), m.group(4)
    exponent = int(m.group(5) or m.group(6) or "0")
    if point:
        value = float((ipart or "0") + "." + (fpart or "0"))
    else:
        digits = ipart + fpart
        value = int(digits) / 10.0 ** decimals
    value *= 10.0 ** exponent
    return -value if sign == "-" else value


# Markers that carry their value on their own line: (field name, first column, width, kind).
VALUE_MARKERS = {
    "Rotation number set to  :": ("rotnum", 27, 10, "i"),
    "Molecular mass          :": ("mass", 27, 10, "f4"),
    "Symmetry group          :": ("symgroup", 27, 10, "a"),
    "Stoichiometry           :": ("stoich", 27, 10, "a"),
    "Num. of imaginary freqs :": ("nneg", 27, 10, "i"),
    "Spin multiplicity of molecule =": ("mult", 33, 2, "i"),
    "Base Energy :": ("etot", 15, 17, "f8"),
}
MOMENTS_MARKER = "Ia,Ib,Ic, amu*A^2"
COORD_MARKER = "Molecular coordinates in principal axes (A)"
FREQ_MARKER = "No. Frequency Intensity"
BLOCK_END = "----------"
FIRST_WINS = ("rotnum", "mult", "etot")


def _value(line, first, width, kind, where):
    text = field(line, first, width)
    if kind == "i":
        return read_int(text, where)
    if kind == "a":
        return text
    return read_real(text, int(kind[1:]), where)


def read_data_file(path):
    """A molecule data file as a dict: the marker values, 'pmoi', 'atoms' [(Z, [x, y, z])],
    'modes' [(cm-1, km/mol)], and 'lines' (the line numbers of each marker, for checks)."""
    with open(path) as f:
        lines = [ln.rstrip("\r\n")[:255] for ln in f]
    mol = {"pmoi": [0.0, 0.0, 0.0], "atoms": [], "modes": [], "lines": {}}
    k = 0
    while k < len(lines):
        line, where = lines[k], "%s line %d" % (path, k + 1)
        k += 1
        if MOMENTS_MARKER in line:
            mol["pmoi"] = [read_real(field(line, 20 + 15 * i, 15), 6, where) for i in range(3)]
            mol["lines"].setdefault(MOMENTS_MARKER, []).append(k)
        if COORD_MARKER in line:
            mol["lines"].setdefault(COORD_MARKER, []).append(k)
            if k >= len(lines):
                raise FormatError("%s: end of file after the coordinates marker" % where)
            k += 1  # the column header line
            mol["atoms"] = []
            while k < len(lines) and BLOCK_END not in lines[k]:
                row, where = lines[k], "%s line %d" % (path, k + 1)
                z = read_int(field(row, 15, 3), where)
                xyz = [read_real(field(row, 21 + 15 * i, 15), 6, where) for i in range(3)]
                mol["atoms"].append((z, xyz))
                k += 1
            if k < len(lines):
                line = lines[k]  # the closing line is looked at for markers too
                k += 1
        for marker, (name, first, width, kind) in VALUE_MARKERS.items():
            if marker in line:
                mol["lines"].setdefault(marker, []).append(k)
                if name in FIRST_WINS and name in mol:
                    continue
                mol[name] = _value(line, first, width, kind, where)
        if FREQ_MARKER in line:
            mol["lines"].setdefault(FREQ_MARKER, []).append(k)
            if k + 2 > len(lines):
                raise FormatError("%s: end of file within the frequency header" % where)
            k += 2  # units line and hyphens
            mol["modes"] = []
            while k < len(lines) and BLOCK_END not in lines[k]:
                row, where = lines[k], "%s line %d" % (path, k + 1)
                mol["modes"].append((read_real(field(row, 5, 9), 3, where),
                                     read_real(field(row, 14, 9), 3, where)))
                k += 1
            k += 1  # the closing line is not examined
    mol["natoms"] = len(mol["atoms"])
    p = mol["pmoi"]
    scale = max(abs(p[0]), abs(p[1]))
    mol["linear"] = int(scale > 0.0 and abs(p[0] - p[1]) / scale < 0.001 and abs(p[2]) < 0.001)
    return mol


def read_job(path):
    """A job input file: T, P, KEFF (conc, nexp) and the molecule lines per role.

    Only the forms the examples use are understood: COND TEMP=/PRES= (or TT=/PP=),
    KEFF C [n], and ROLE NAME file [MULT=m] [ROTNUM=s] [ETOT=e]."""
    job = {"T": 298.15, "P": 101325.0, "conc": 0.0, "nexp": 0, "roles": {1: [], 2: [], 3: []},
           "lines": []}
    with open(path) as f:
        for number, raw in enumerate(f, start=1):
            text = raw.rstrip("\r\n").lstrip(" ")[:132]
            upper = text.upper()
            if upper.startswith("!"):
                continue
            if upper.strip() == "":
                break
            words = upper.split()
            if upper.startswith("COND"):
                for w in words[1:]:
                    key, _, value = w.partition("=")
                    if key.startswith("TT") or key.startswith("TEMP"):
                        job["T"] = float(value)
                    elif key.startswith("PP") or key.startswith("PRES"):
                        job["P"] = float(value)
            elif upper.startswith("KEFF"):
                if len(words) >= 2:
                    job["conc"] = read_real(words[1][:20].rjust(20), 10, "%s line %d" %
                                            (path, number))
                    job["nexp"] = 1
                if len(words) >= 3:
                    job["nexp"] = read_int(words[2][:20], "%s line %d" % (path, number))
            elif upper.startswith(("REACT", "PROD", "TS ")):
                role = 1 if "REACT" in words[0] else 2 if "PROD" in words[0] else 3
                original = text.split()
                entry = {"name": words[1][:20], "file": original[2], "line": number}
                for w in words[3:]:
                    key, _, value = w.partition("=")
                    for option in ("MULT", "ROTNUM", "ETOT"):
                        if key.startswith(option):
                            entry[option.lower()] = float(value) if option == "ETOT" else \
                                int(float(value))
                job["roles"][role].append(entry)
                job["lines"].append((number, text))
    return job
