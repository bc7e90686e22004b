#!/usr/bin/env python3
"""Re-reads every example job folder with the fixed columns and checks layout and chemistry.

    python3 tools/hand_check/check_columns.py [examples/oh_ch4 ...]

Layout: each marker starts in column 2 after a blank column 1; every value is one unbroken
token right-aligned in exactly the columns its edit descriptor reads, with nothing after the
last field; real values carry their decimal point (a field without one would take its last
digits as the fraction); atom rows and mode rows have their fields in the block columns.
Chemistry: mass = sum of the isotope masses, moments recomputed from the coordinates of the
file, coordinates centred and in principal axes, linearity as the reader decides it, spin
multiplicity of the right parity for the electron count, 3N frequency rows with the zero
rows first and a saddle point's imaginary frequency on row 7. The job file names its data
files in lower case and each exists under exactly that name.
Exit status 0 when everything holds, 1 otherwise; every problem is printed.
"""

import glob
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inertia  # noqa: E402
import molfile  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# marker -> (first value column, width, kind): "i" integer, "f" real, "a" text
LAYOUT = {
    molfile.MOMENTS_MARKER: [(20, 15, "f"), (35, 15, "f"), (50, 15, "f")],
    "Rotation number set to  :": [(27, 10, "i")],
    "Molecular mass          :": [(27, 10, "f")],
    "Symmetry group          :": [(27, 10, "a")],
    "Stoichiometry           :": [(27, 10, "a")],
    "Num. of imaginary freqs :": [(27, 10, "i")],
    "Spin multiplicity of molecule =": [(33, 2, "i")],
    "Base Energy :": [(15, 17, "f")],
}
ATOM_FIELDS = [(15, 3, "i"), (21, 15, "f"), (36, 15, "f"), (51, 15, "f")]
MODE_FIELDS = [(1, 4, "i"), (5, 9, "f"), (14, 9, "f")]


class Checker:
    def __init__(self):
        self.problems = []

    def fail(self, where, message):
        self.problems.append("%s: %s" % (where, message))

    def fields(self, line, where, fields, end):
        """Every value one unbroken token right-aligned in its columns, nothing after `end`."""
        for first, width, kind in fields:
            text = molfile.field(line, first, width)
            if text.strip() == "" or text[-1] == " " or " " in text.strip():
                self.fail(where, "columns %d-%d: %r is not right-aligned in the field" %
                          (first, first + width - 1, text))
            if kind == "f" and "." not in text:
                self.fail(where, "columns %d-%d: %r has no decimal point" %
                          (first, first + width - 1, text))
            if kind == "i" and not text.strip().lstrip("-").isdigit():
                self.fail(where, "columns %d-%d: %r is not an integer" %
                          (first, first + width - 1, text))
        if line[end:].strip():
            self.fail(where, "text after column %d: %r" % (end, line[end:]))

    def layout(self, path):
        with open(path) as f:
            lines = [ln.rstrip("\n") for ln in f]
        rel = os.path.relpath(path, ROOT)
        seen = {m: 0 for m in LAYOUT}
        block = None
        for number, line in enumerate(lines, start=1):
            where = "%s line %d" % (rel, number)
            if "\r" in line or "\t" in line or len(line) > 255:
                self.fail(where, "carriage return, tab or more than 255 characters")
            if block:
                kind, skip = block
                if skip > 0:
                    block = (kind, skip - 1)
                    continue
                if molfile.BLOCK_END in line:
                    block = None
                    continue
                if kind == "atoms":
                    self.fields(line, where, ATOM_FIELDS, 65)
                else:
                    self.fields(line, where, MODE_FIELDS, 22)
                continue
            for marker, fields in LAYOUT.items():
                if marker in line:
                    seen[marker] += 1
                    if not line.startswith(" " + marker):
                        self.fail(where, "marker %r does not start in column 2" % marker)
                    last = fields[-1][0] + fields[-1][1] - 1
                    self.fields(line, where, fields, last)
            if molfile.COORD_MARKER in line:
                if not line.startswith(" " + molfile.COORD_MARKER):
                    self.fail(where, "coordinates marker does not start in column 2")
                block = ("atoms", 1)
            elif molfile.FREQ_MARKER in line:
                if not line.startswith(" " + molfile.FREQ_MARKER):
                    self.fail(where, "frequency marker does not start in column 2")
                if number + 2 > len(lines) or molfile.BLOCK_END not in lines[number + 1]:
                    self.fail(where, "the frequency header is not a units line and hyphens")
                block = ("modes", 2)
        for marker, count in seen.items():
            if count != 1:
                self.fail(rel, "marker %r found %d times, expected once" % (marker, count))
        if block:
            self.fail(rel, "a block is not closed by a line of hyphens")

    def chemistry(self, path, mol, role):
        rel = os.path.relpath(path, ROOT)
        atoms = mol["atoms"]
        n = len(atoms)
        if n == 0:
            self.fail(rel, "no atoms")
            return
        if any(z not in inertia.ISOTOPE_MASS for z, _ in atoms):
            self.fail(rel, "an atomic number without an isotope mass here")
            return
        mass = inertia.total_mass(atoms)
        if abs(mass - mol["mass"]) > 0.00006:
            self.fail(rel, "mass %.4f, the atoms give %.5f" % (mol["mass"], mass))
        com = inertia.centre_of_mass(atoms)
        if max(abs(c) for c in com) > 2e-6:
            self.fail(rel, "coordinates not centred: centre of mass %s" % com)
        t = inertia.inertia_tensor(atoms)
        off = max(abs(t[0][1]), abs(t[0][2]), abs(t[1][2]))
        if off > 1e-4:
            self.fail(rel, "coordinates not in principal axes: off-diagonal %.2e" % off)
        diag = [t[0][0], t[1][1], t[2][2]]
        for k in range(3):
            if abs(diag[k] - mol["pmoi"][k]) > 1e-4:
                self.fail(rel, "moment %d is %.6f in the file, %.6f from the coordinates" %
                          (k + 1, mol["pmoi"][k], diag[k]))
        on_axis = all(abs(r[0]) < 1e-9 and abs(r[1]) < 1e-9 for _, r in atoms)
        linear = n > 1 and on_axis
        if n > 1 and mol["linear"] != int(linear):
            self.fail(rel, "read as linear=%d, the geometry says %d" % (mol["linear"], linear))
        p = mol["pmoi"]
        if n > 2 and not linear and not (p[0] <= p[1] <= p[2]):
            self.fail(rel, "moments not in increasing order")
        electrons = sum(z for z, _ in atoms)
        if (electrons + mol.get("mult", 0)) % 2 != 1:
            self.fail(rel, "multiplicity %s impossible for %d electrons" %
                      (mol.get("mult"), electrons))
        if mol.get("rotnum", 0) < 1:
            self.fail(rel, "rotation number missing")
        # frequency rows: zero rows, then 3N-6 (3N-5 linear) vibrations; a saddle point keeps
        # six zero rows so that its imaginary mode is row 7, even when it is linear, and any
        # molecule may have six
        modes = [f for f, _ in mol["modes"]]
        nvib = 0 if n == 1 else 3 * n - 5 if linear else 3 * n - 6
        nneg = sum(1 for f in modes if f < 0.0)
        zeros = 3 if n == 1 else 6 if (not linear or nneg) else 5
        if len(modes) == 6 + nvib:
            zeros = 6  # orvalen-import writes six zero rows for atoms and linear molecules too
        if nneg != mol.get("nneg", 0):
            self.fail(rel, "%d negative frequencies, the file states %s" % (nneg, mol.get("nneg")))
        if len(modes) != zeros + nvib:
            self.fail(rel, "%d frequency rows, expected %d zero rows and %d vibrations" %
                      (len(modes), zeros, nvib))
        if any(f != 0.0 for f in modes[:zeros]):
            self.fail(rel, "the first %d frequency rows are not all 0.000" % zeros)
        if any(0.0 <= f <= 0.1 for f in modes[zeros:]):
            self.fail(rel, "a vibration at or below 0.1 cm-1")
        if role == 3:
            if nneg != 1 or len(modes) < 7 or modes[6] >= 0.0:
                self.fail(rel, "a transition state needs one imaginary frequency, on row 7")
        elif nneg:
            self.fail(rel, "a minimum with an imaginary frequency")

    def job(self, folder):
        rel = os.path.relpath(folder, ROOT)
        inputs = glob.glob(os.path.join(folder, "*.inp"))
        if len(inputs) != 1:
            self.fail(rel, "%d job input files, expected one" % len(inputs))
            return
        job = molfile.read_job(inputs[0])
        used = set()
        for role, entries in job["roles"].items():
            for entry in entries:
                name = entry["file"]
                where = "%s line %d" % (os.path.relpath(inputs[0], ROOT), entry["line"])
                if name != name.lower():
                    self.fail(where, "data file name %r is not lower case" % name)
                path = os.path.join(folder, name)
                if name not in os.listdir(folder):
                    self.fail(where, "no file named exactly %r in the folder" % name)
                    continue
                mol = molfile.read_data_file(path)
                for option in ("mult", "rotnum"):
                    if option in entry and entry[option] != mol.get(option):
                        self.fail(where, "%s=%d on the job line, %s in the data file" %
                                  (option.upper(), entry[option], mol.get(option)))
                self.chemistry(path, mol, role)
                used.add(name)
        if not job["roles"][1] or not job["roles"][3]:
            self.fail(rel, "a job needs reactants and a transition state")
        for path in sorted(glob.glob(os.path.join(folder, "*.dat"))):
            self.layout(path)
            if os.path.basename(path) not in used:
                self.fail(os.path.relpath(path, ROOT), "not named by the job")


def main(argv):
    folders = argv[1:] or sorted(d for d in glob.glob(os.path.join(ROOT, "examples", "*"))
                                 if os.path.isdir(d))
    checker = Checker()
    for folder in folders:
        try:
            checker.job(os.path.abspath(folder))
        except (OSError, molfile.FormatError) as e:
            checker.fail(folder, str(e))
    for p in checker.problems:
        print(p)
    print("%d folder(s) checked, %d problem(s)" % (len(folders), len(checker.problems)))
    return 1 if checker.problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
