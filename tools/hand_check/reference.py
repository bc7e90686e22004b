#!/usr/bin/env python3
"""Hand calculation of the key report values of a job folder.

    python3 tools/hand_check/reference.py examples/oh_ch4     # key report lines of a job
    python3 tools/hand_check/reference.py --self-test         # check against worked values
    python3 tools/hand_check/reference.py --compare examples/oh_ch4 oh_ch4.out
                                            # every key line must be a line of the report

The key values are worked out from the RRHO and TST formulas (not from the C++ sources):
per molecule the Qtot, ZPEtot, Utot, Htot, Stot and Gtot lines and vibration rows; the
reaction lines DrEE, DrZPE, DrH and DrG; the activation enthalpy dH0, the kQ and kG rows (and
the effective rate constant when the job asks for it); the three tunnelling coefficients.
The job and its data files are read by molfile.py; the formulas are those of rrho.py (one
molecule) and report.py (reaction, rates, tunnelling), which state them. Each line is printed
as the report's format text writes it, so that it can be compared with a report by eye or
with grep. The arithmetic follows the order of the formulas (x*x*x for a cube, products left
to right), in IEEE doubles, so the printed digits should agree with the program's. The
self-test checks those formulas against worked values and against the textbook closed forms
for Q and kQ, and the field editors against worked fields.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import molfile  # noqa: E402
import report  # noqa: E402
from fortran_fields import A, D, E, F, I  # noqa: E402
from rrho import (AMU, BOLTZ, CLIGHT, KJ2HARTREE, P0, PI, PLANCK, RGAS,  # noqa: E402
                  electronic, rotational, translational, vibrational)


# --- a job folder ------------------------------------------------------------------------

def load_job(folder):
    """The job of a folder as molfile.py reads it, with the thermochemistry of each molecule
    (a MULT, ROTNUM or ETOT on the job line wins over the data file's value)."""
    inputs = sorted(f for f in os.listdir(folder) if f.endswith(".inp"))
    spec = molfile.read_job(os.path.join(folder, inputs[0]))
    job = report.Job(spec["T"], spec["P"], spec["conc"], spec["nexp"])
    for role, entries in spec["roles"].items():
        for entry in entries:
            data = molfile.read_data_file(os.path.join(folder, entry["file"]))
            data.update((k, entry[k]) for k in ("mult", "rotnum", "etot") if k in entry)
            mol = report.Molecule(role, entry["name"], entry["file"], entry["file"])
            for k in ("mult", "rotnum", "etot", "mass", "pmoi", "natoms", "linear"):
                setattr(mol, k, data[k])
            mol.freq = [f for f, _ in data["modes"]]
            mol.xinten = [x for _, x in data["modes"]]
            mol.nfreq = float(len(data["modes"]))
            report.tdrrho(mol, job.T, job.P)
            job.mol[role].append(mol)
    return job


def job_lines(folder):
    job = load_job(folder)
    mols = job.mol
    out = []
    for r in (1, 2, 3):
        for mol in mols[r]:
            tot = mol.td["tot"]
            out.append(" ************* TD properties of molecule " + mol.name.ljust(20))
            out.append(report.partition("Qtot", tot["Q"]))
            out.append(report.energy(" ZPEtot ", tot["ZPE"]))
            out.append(report.energy(" Utot = ", tot["U"]))
            out.append(report.energy(" Htot = ", tot["H"]))
            out.append(report.entropy(" Stot = ", tot["S"]))
            out.append(report.energy(" Gtot = ", tot["G"]))
            used = [row for row in mol.td["rows"] if row["used"]]
            if used:
                out.append(report.vib_row(used[0]))
            if r == 3 and len(mol.td["rows"]) >= 7:
                out.append(report.vib_row(mol.td["rows"][6]))
            out.append("")
    drzpe = 0.0
    if mols[1] and mols[2]:
        dr = report.reaction_totals(mols[1], mols[2])
        drzpe = dr["ZPE"]
        for label, key in ((" DrEE  ", "E"), (" DrZPE ", "ZPE"), (" DrH = ", "H"),
                           (" DrG = ", "G")):
            out.append(report.dr_line(label, dr[key]))
        out.append("")
    dh0 = 0.0
    if mols[1] and mols[3]:
        k = report.rate_constants(mols[1], mols[3], job.T)
        dh0 = k["H0"]
        out.append(report.activation_line(" Activation enthalpy at 0K dH0=d(E+ZPE)       ",
                                          k["H0"]))
        out.append(report.kq_line(k["kQ"]))
        out.append(report.kg_line(k["kG"]))
        if job.nexp >= 1:
            out.append(report.keff_line(report.effective_constants(k["kG"], job.conc,
                                                                   job.nexp)))
        out.append("")
    out += report.tunnelling_lines(job, dh0, drzpe)[2:]
    return out


# --- self-test against worked values -----------------------------------------------------

def self_test():
    failures = []

    def near(label, got, want, places):
        if not abs(got - want) <= 0.5 * 10.0 ** -places * (1 + 1e-9):
            failures.append("%s: %.10g, expected %.*f" % (label, got, places, want))

    def same(label, got, want):
        if got != want:
            failures.append("%s: %r, expected %r" % (label, got, want))

    t, p = 298.15, 101325.0
    # constants and unit factors
    near("RGAS*T", RGAS * t, 2478.95987, 5)
    near("0.001 Hartree in kJ/mol", 0.001 / KJ2HARTREE, 2.6253035184, 10)
    # electronic, doublet
    el = electronic(2, t)
    near("Selec", el["S"], 5.7631529, 7)
    near("Gelec", el["G"], -1.7182840, 7)
    # translation of water: Qtran = 3.0043185e6
    tr = translational(18.01056, t, p)
    near("Qtran/1e6", tr["Q"] / 1e6, 3.0043185, 7)
    near("ln Qtran", math.log(tr["Q"]), 14.915561, 6)
    near("lg Qtran", math.log10(tr["Q"]), 6.477746, 6)
    for k, want in (("U", 3.718440), ("H", 6.197400), ("F", -36.975078), ("G", -34.496118)):
        near(k + "tran", tr[k], want, 6)
    near("Stran", tr["S"], 136.48673, 5)
    # Stran is R ln Q + 1.5 R (not the Sackur-Tetrode 2.5 R)
    near("Stran closed form", tr["S"], RGAS * math.log(tr["Q"]) + 1.5 * RGAS, 9)
    # rotation
    ro = rotational(3, 0, 2, [0.6145, 1.1549, 1.7694], t)
    near("Qrot non-linear", ro["Q"], 42.801515, 6)
    near("Srot non-linear", ro["S"], 43.705634, 6)
    near("Frot non-linear", ro["F"], -9.312395, 6)
    near("Urot non-linear", ro["U"], 3.718440, 6)
    ro = rotational(2, 1, 2, [43.1, 43.1, 0.0], t)
    near("Qrot linear", ro["Q"], 264.90652, 5)
    near("Srot linear", ro["S"], 54.704047, 6)
    near("Frot linear", ro["F"], -13.831052, 6)
    near("Urot linear", ro["U"], 2.478960, 6)
    ro = rotational(1, 0, 1, [5.0, 6.0, 7.0], t)
    same("Qrot of an atom", (ro["Q"], ro["S"], ro["U"]), (1.0, 0.0, 0.0))
    # one vibration of 1000 cm-1
    rows, vi = vibrational([1000.0, -500.0, 0.1], [50.0, 10.0, 0.0], 3, t)
    r = rows[0]
    near("THETA", r["theta"], 1438.7752, 4)
    near("ZPE", r["ZPE"], 5.981328, 6)
    near("QVIB0", r["Q0"], 1.0080860, 7)
    near("UVIB", r["U"], 6.078058, 6)
    near("HH0VIB", r["HH0"], 0.096730, 6)
    near("FVIB", r["F"], 5.961364, 6)
    near("SVIB", r["S"], 0.391394, 6)
    u = r["theta"] / t  # closed form of the entropy, an independent check of dQ/dT
    near("SVIB closed form", r["S"],
         RGAS * (u / (math.exp(u) - 1.0) - math.log(1.0 - math.exp(-u))), 9)
    same("vibration row 1", report.vib_row(rows[0]),
         "   1 1000.000   50.000 1000.000     0.00  1 1438.775    0.391    5.981    0.097"
         "    6.078    5.961    0.000 1.00809E+00")
    same("vibration row 2", report.vib_row(rows[1]),
         "   2 -500.000   10.000 -500.000     0.00  0    0.000    0.000    0.000    0.000"
         "    0.000    0.000    0.000 1.00000E+00")
    same("0.1 cm-1 unused", (rows[2]["used"], vi["used"]), (0, 1))
    # concentration factor of a bimolecular reaction at 298.15 K
    fc = report.concentration_factors(2, t)
    near("Fc m3/1e-26", fc[1] / 1e-26, 4.1164, 4)
    near("Fc cm3/1e-20", fc[2] / 1e-20, 4.1164, 4)
    near("Fc L/mol", fc[3], 24.7896, 4)
    same("Fc unimolecular", report.concentration_factors(1, t), [1.0, 1.0, 1.0, 1.0])
    # tunnelling
    tn = report.tunnelling(t, 1000.0, 0.0, 0.0)
    near("u", tn["u"], 4.8257, 4)
    near("kW", tn["kW"], 1.9703, 4)
    near("kP", tn["kP"], 3.6232, 4)
    same("kST is kST1 for alp > bet", tn["kST"], tn["kST1"])
    tn = report.tunnelling(t, -1000.0, 5.0 * KJ2HARTREE, -0.01)
    near("kST1 (V0 5 kJ/mol)", tn["kST1"], 1.8228, 4)
    near("kST2 (V0 5 kJ/mol)", tn["kST2"], 1.5105, 4)
    tn = report.tunnelling(t, 1500.0, 5.0 * KJ2HARTREE, 0.0)
    near("u at 1500 cm-1", tn["u"], 7.2385, 4)
    near("kP at 1500 cm-1", tn["kP"], -7.8730, 4)
    same("kST is kST2 for bet > alp", tn["kST"], tn["kST2"])
    # field editing
    for got, want in ((F(1234.5678, 10, 3), "  1234.568"), (F(-76.123456789, 16, 8),
                      "    -76.12345679"), (I(-5, 15), " " * 13 + "-5"), (I(12, 1), "*"),
                      (E(0.0, 12, 5), " 0.00000E+00"), (E(12345.678, 15, 5), "    1.23457E+04"),
                      (E(1.5e-120, 15, 5), "    1.50000-120"), (D(6.02214e23, 17, 6),
                      "     6.022140D+23"), (F(0.5, 4, 3), ".500"), (F(-0.5, 10, 3),
                      "    -0.500"), (F(1.0e7, 10, 3), "*" * 10), (F(-0.0001, 10, 3),
                      "    -0.000"), (A("ABCDEFGHIJKLMNOPQRST", 15), "ABCDEFGHIJKLMNO")):
        same("field", got, want)
    # each example once more by the textbook closed forms (another route through the
    # arithmetic): Qtran = (2 pi m kT/h^2)^1.5 kT/P, Qrot = sqrt(pi IaIbIc)/sigma (8pi^2kT/h^2)^1.5
    # or 8pi^2 I kT/(sigma h^2), Qvib = prod 1/(1-exp(-hc nu/kT)); kQ(cm3) = kT/h Q(TS)/prod Q
    # (kT/P0 in cm3)^(m-1) exp(-dH0/RT); and kG = kQ e^(m-2) for one transition state, since
    # Stran lacks R per molecule and kG carries one RT more in its exponent
    examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
    for name in ("oh_ch4", "hcn_hnc", "h_h2"):
        job = load_job(os.path.join(examples, name))
        tj, pj = job.T, job.P
        kt = BOLTZ * tj

        def q_closed(mol):
            m = mol.mass * AMU
            q = float(mol.mult) * (2 * PI * m * kt / PLANCK ** 2) ** 1.5 * kt / pj
            if mol.natoms > 1:
                i = [x * AMU * 1e-20 for x in mol.pmoi]
                if mol.linear:
                    q *= 8 * PI ** 2 * i[0] * kt / (mol.rotnum * PLANCK ** 2)
                else:
                    q *= (math.sqrt(PI * i[0] * i[1] * i[2]) / mol.rotnum
                          * (8 * PI ** 2 * kt / PLANCK ** 2) ** 1.5)
            for f in mol.freq[:int(mol.nfreq)]:
                if f > 0.1:
                    q /= 1 - math.exp(-PLANCK * CLIGHT * 100 * f / kt)
            return q

        reac, ts = job.mol[1], job.mol[3]
        for mol in reac + ts:
            near("%s %s Qtot/closed form" % (name, mol.name), mol.qtot / q_closed(mol), 1.0, 9)
        k = report.rate_constants(reac, ts, tj)
        qratio = q_closed(ts[0]) / math.prod(q_closed(m) for m in reac)
        kq3 = (kt / PLANCK * qratio * (kt / P0 * 1e6) ** (len(reac) - 1)
               * math.exp(-k["H0"] / KJ2HARTREE * 1000 / (RGAS * tj)))
        near("%s kQ(cm3)/closed form" % name, k["kQ"][2] / kq3, 1.0, 9)
        near("%s kG/(kQ e^(m-2))" % name, k["kG"][2] / (k["kQ"][2] * math.e ** (len(reac) - 2)),
             1.0, 9)
    for f in failures:
        print("FAIL", f)
    print("self-test: %s" % ("%d failure(s)" % len(failures) if failures else "all passed"))
    return 1 if failures else 0


def compare(folder, report_path):
    """Every non-empty key line must occur, whole and exact, as a line of the report."""
    with open(report_path) as f:
        have = set(line.rstrip("\r\n") for line in f)
    missing = [line for line in job_lines(folder) if line and line not in have]
    for line in missing:
        print("missing: %r" % line)
    print("%s: %s" % (report_path, "%d key line(s) missing" % len(missing) if missing
                      else "every key line found"))
    return 1 if missing else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) == 4 and argv[1] == "--compare":
        return compare(argv[2], argv[3])
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__)
        return 2
    for line in job_lines(argv[1]):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
