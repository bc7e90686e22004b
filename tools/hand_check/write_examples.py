#!/usr/bin/env python3
"""Writes the molecule data files of the example reactions under examples/.

The chemistry of each molecule (energy, symmetry, spin, harmonic frequencies and IR
intensities) is tabulated here; the moments of inertia, the mass and the principal-axis
coordinates come from inertia.py. Run from anywhere:

    python3 tools/hand_check/write_examples.py

and then check the result with check_columns.py. The job input files are written by hand.

Electronic energies are CCSD(T)/aug-cc-pVTZ-like totals (frozen core, Hartree), chosen so
that the barriers and reaction energies match well-established benchmark values; the
harmonic frequencies are typical of the same level. Frequency rows list the translations
and rotations as 0.000 first, so that a saddle point's imaginary mode is always row 7.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inertia  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# path under examples/ -> (inertia key, title, symmetry group, stoichiometry, rotation number,
#               multiplicity, energy in Hartree, extra comment lines, [(cm-1, km/mol), ...])
MOLECULES = {
    "oh_ch4/oh.dat": ("oh", "Hydroxyl radical OH, X 2Pi", "C*V", "HO", 1, 2, -75.63712200,
               ["Spin multiplicity only: the 2Pi spin-orbit and Lambda-doubling levels are",
                "not in the electronic partition function (Qelec = 2)."],
               [(0.0, 0.0)] * 5 + [(3738.0, 10.8)]),
    "oh_ch4/ch4.dat": ("ch4", "Methane CH4, X 1A1", "TD", "CH4", 12, 1, -40.43788900, [],
                [(0.0, 0.0)] * 6 + [(1367.0, 11.5)] * 3 + [(1574.0, 0.0)] * 2
                + [(3036.0, 0.0)] + [(3157.0, 22.3)] * 3),
    "oh_ch4/ts1.dat": ("ts_oh_ch4", "Saddle point H3C...H...OH of OH + CH4 -> H2O + CH3",
                "CS", "CH5O", 3, 2, -116.06545000,
                ["Rotation number 3: with 12 for CH4 it gives the reaction path degeneracy",
                 "12/3 = 4, one path per equivalent H atom of methane.",
                 "The imaginary mode (the H atom moving between C and O) is row 7."],
                [(0.0, 0.0)] * 6 + [(-1536.0, 415.6), (62.0, 98.4), (307.0, 12.1),
                                    (398.0, 6.3), (774.0, 2.5), (1052.0, 18.2), (1130.0, 9.4),
                                    (1310.0, 4.1), (1432.0, 6.0), (1440.0, 7.2), (1610.0, 3.3),
                                    (3067.0, 4.5), (3186.0, 2.9), (3196.0, 3.1),
                                    (3760.0, 24.7)]),
    "oh_ch4/h2o.dat": ("h2o", "Water H2O, X 1A1", "C2V", "H2O", 2, 1, -76.33221800, [],
                [(0.0, 0.0)] * 6 + [(1648.5, 71.2), (3832.2, 3.4), (3942.5, 45.6)]),
    "oh_ch4/ch3.dat": ("ch3", "Methyl radical CH3, X 2A2''", "D3H", "CH3", 6, 2,
                -39.76298100, [],
                [(0.0, 0.0)] * 6 + [(505.0, 30.1)] + [(1402.0, 6.2)] * 2 + [(3105.0, 0.0)]
                + [(3281.0, 6.9)] * 2),
    "hcn_hnc/hcn.dat": ("hcn", "Hydrogen cyanide HCN, X 1Sigma+", "C*V", "CHN", 1, 1,
                -93.30361900, ["Linear: 3N-5 = 4 vibrations after five zero rows."],
                [(0.0, 0.0)] * 5 + [(727.0, 29.8)] * 2 + [(2127.0, 0.3), (3443.0, 57.0)]),
    "hcn_hnc/hnc.dat": ("hnc", "Hydrogen isocyanide HNC, X 1Sigma+", "C*V", "CHN", 1, 1,
                -93.28000270, ["Linear: 3N-5 = 4 vibrations after five zero rows."],
                [(0.0, 0.0)] * 5 + [(469.0, 126.0)] * 2 + [(2053.0, 69.0), (3822.0, 281.0)]),
    "hcn_hnc/ts1.dat": ("ts_hcn_hnc", "Saddle point of the HCN -> HNC isomerisation", "CS",
                 "CHN", 1, 1, -93.22686600,
                 ["The H atom bridges the CN bond; the imaginary mode (its in-plane swing",
                  "from C to N) is row 7."],
                 [(0.0, 0.0)] * 6 + [(-1139.0, 38.0), (2036.0, 57.1), (2618.0, 21.4)]),
    "h_h2/h.dat": ("h", "Hydrogen atom H, 2S", "KH", "H", 1, 2, -0.49982100,
              ["One atom: no rotation and no vibration; the three rows are its translations."],
              [(0.0, 0.0)] * 3),
    "h_h2/h2.dat": ("h2", "Hydrogen molecule H2, X 1Sigma g+", "D*H", "H2", 2, 1,
               -1.17263600, ["Linear: one vibration after five zero rows."],
               [(0.0, 0.0)] * 5 + [(4406.0, 0.0)]),
    "h_h2/h3.dat": ("h3", "Collinear saddle point H...H...H of H + H2", "D*H", "H3", 2, 2,
               -1.65699200,
               ["Linear, so 3N-5 = 4 vibrations. Six zero rows come first (one more than the",
                "five translations and rotations of a linear molecule) so that the imaginary",
                "antisymmetric stretch is row 7, where the tunnelling step takes it from; a",
                "zero row adds nothing to the thermochemistry."],
               [(0.0, 0.0)] * 6 + [(-1512.0, 1.25), (911.0, 0.1), (911.0, 0.1),
                                   (2061.0, 0.0)]),
}

METHOD = ("Representative CCSD(T)/aug-cc-pVTZ-level data (total energy in Hartree, frozen core;"
          " structure; harmonic frequencies)")


def data_file_text(entry):
    (key, title, group, stoich, rotnum, mult, energy, notes, modes) = entry
    geometry = inertia.data_file_lines(inertia.MOLECULES[key])
    nneg = sum(1 for f, _ in modes if f < 0.0)
    lines = [" " + title, " " + METHOD, ""]
    lines += [" " + n for n in notes]
    if notes:
        lines.append("")
    lines += [
        geometry[0],
        " Rotation number set to  :%10d" % rotnum,
        geometry[1],
        " Symmetry group          :%10s" % group,
        " Stoichiometry           :%10s" % stoich,
        " Num. of imaginary freqs :%10d" % nneg,
        " Spin multiplicity of molecule =%2d" % mult,
        " Base Energy :%17.8f" % energy,
        "",
    ]
    lines += geometry[2:]
    lines += ["", " No. Frequency Intensity", "       cm-1    km/mol", " " + "-" * 22]
    lines += ["%4d%9.3f%9.3f" % (n, f, i) for n, (f, i) in enumerate(modes, start=1)]
    lines.append(" " + "-" * 22)
    return "\n".join(lines) + "\n"


def main():
    for name, entry in MOLECULES.items():
        path = os.path.join(ROOT, "examples", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as out:
            out.write(data_file_text(entry))
        print("wrote", os.path.relpath(path, ROOT))
    return 0


if __name__ == "__main__":
    sys.exit(main())
