#!/usr/bin/env python3
"""Principal moments of inertia and principal-axis coordinates of the example molecules.

The equilibrium and saddle-point structures of the example reactions are built here from
their internal coordinates (bond lengths in Angstrom, angles in degrees), shifted to the
centre of mass with the masses of the most abundant isotopes, and rotated into the frame of
the principal axes. The output is written in the fixed columns of a molecule data file:

    python3 inertia.py ch4        # one molecule
    python3 inertia.py --all      # every molecule of the examples

Moments are listed Ia <= Ib <= Ic with x, y, z along the axes a, b, c. For a linear
molecule they are listed I, I, 0 and the molecular axis is z, as the data files expect.

The functions are also used by check_columns.py, which recomputes the moments from the
coordinates written in each data file.
"""

import math
import sys

# Masses of the most abundant isotopes, amu.
ISOTOPE_MASS = {1: 1.00782503207, 6: 12.0, 7: 14.0030740048, 8: 15.99491461956}
SYMBOL = {1: "H", 6: "C", 7: "N", 8: "O"}


def total_mass(atoms):
    return sum(ISOTOPE_MASS[z] for z, _ in atoms)


def centre_of_mass(atoms):
    m = total_mass(atoms)
    return [sum(ISOTOPE_MASS[z] * r[k] for z, r in atoms) / m for k in range(3)]


def inertia_tensor(atoms):
    """Inertia tensor about the centre of mass, amu*A^2."""
    com = centre_of_mass(atoms)
    t = [[0.0] * 3 for _ in range(3)]
    for z, r in atoms:
        m = ISOTOPE_MASS[z]
        d = [r[k] - com[k] for k in range(3)]
        r2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2]
        for i in range(3):
            for j in range(3):
                t[i][j] += m * ((r2 if i == j else 0.0) - d[i] * d[j])
    return t


def jacobi(a):
    """Eigenvalues and eigenvectors (columns of v) of a symmetric 3x3 matrix."""
    a = [row[:] for row in a]
    v = [[1.0 if i == j else 0.0 for j in range(3)] for i in range(3)]
    for _ in range(100):
        off = sum(a[i][j] * a[i][j] for i in range(3) for j in range(3) if i != j)
        if off < 1e-30:
            break
        for p in range(2):
            for q in range(p + 1, 3):
                if abs(a[p][q]) < 1e-300:
                    continue
                theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q])
                t = math.copysign(1.0, theta) / (abs(theta) + math.sqrt(theta * theta + 1.0))
                c = 1.0 / math.sqrt(t * t + 1.0)
                s = t * c
                for k in range(3):  # a := a * J
                    akp, akq = a[k][p], a[k][q]
                    a[k][p], a[k][q] = c * akp - s * akq, s * akp + c * akq
                for k in range(3):  # a := J^T * a
                    apk, aqk = a[p][k], a[q][k]
                    a[p][k], a[q][k] = c * apk - s * aqk, s * apk + c * aqk
                for k in range(3):
                    vkp, vkq = v[k][p], v[k][q]
                    v[k][p], v[k][q] = c * vkp - s * vkq, s * vkp + c * vkq
    return [a[i][i] for i in range(3)], v


def principal_frame(atoms):
    """Moments (data-file order) and the atoms in the principal-axis frame."""
    com = centre_of_mass(atoms)
    values, vectors = jacobi(inertia_tensor(atoms))
    order = sorted(range(3), key=lambda k: values[k])
    moments = [values[k] for k in order]
    if len(atoms) > 1 and moments[0] < 1e-8:
        order = order[1:] + order[:1]  # linear: I, I, 0 with the molecule along z
        moments = moments[1:] + [0.0]
    axes = [[vectors[i][k] for i in range(3)] for k in order]
    # keep a proper rotation (no mirror image) and make the largest component of each axis
    # positive, so that the frame does not depend on the diagonaliser's choice of sign
    for k in range(3):
        big = max(range(3), key=lambda i: abs(axes[k][i]))
        if axes[k][big] < 0.0:
            axes[k] = [-c for c in axes[k]]
    det = (axes[0][0] * (axes[1][1] * axes[2][2] - axes[1][2] * axes[2][1])
           - axes[0][1] * (axes[1][0] * axes[2][2] - axes[1][2] * axes[2][0])
           + axes[0][2] * (axes[1][0] * axes[2][1] - axes[1][1] * axes[2][0]))
    if det < 0.0:
        axes[2] = [-c for c in axes[2]]
    frame = []
    for z, r in atoms:
        d = [r[k] - com[k] for k in range(3)]
        frame.append((z, [sum(axes[k][i] * d[i] for i in range(3)) for k in range(3)]))
    moments = [0.0 if abs(m) < 1e-12 else m for m in moments]
    return moments, frame


# --- structures -------------------------------------------------------------------------

def _rad(deg):
    return deg * math.pi / 180.0


def linear_chain(numbers, distances):
    """Atoms on the z axis, consecutive distances in Angstrom."""
    atoms, z = [], 0.0
    for k, n in enumerate(numbers):
        atoms.append((n, [0.0, 0.0, z]))
        if k < len(distances):
            z += distances[k]
    return atoms


def bent_triatomic(z_centre, z_a, z_b, r_a, r_b, angle):
    """Centre atom at the origin, A on z, B in the xz plane at the given A-centre-B angle."""
    t = _rad(angle)
    return [(z_centre, [0.0, 0.0, 0.0]), (z_a, [0.0, 0.0, r_a]),
            (z_b, [r_b * math.sin(t), 0.0, r_b * math.cos(t)])]


def methane(r):
    a = r / math.sqrt(3.0)
    return [(6, [0.0, 0.0, 0.0]), (1, [a, a, a]), (1, [a, -a, -a]), (1, [-a, a, -a]),
            (1, [-a, -a, a])]


def methyl(r):
    return [(6, [0.0, 0.0, 0.0])] + [
        (1, [r * math.cos(_rad(120.0 * k)), r * math.sin(_rad(120.0 * k)), 0.0])
        for k in range(3)]


def water(r, angle):
    h = _rad(angle) / 2.0
    return [(8, [0.0, 0.0, 0.0]), (1, [r * math.sin(h), 0.0, r * math.cos(h)]),
            (1, [-r * math.sin(h), 0.0, r * math.cos(h)])]


def ts_oh_ch4(r_ch_abs, r_oh_abs, r_oh, r_ch, ang_cho, ang_hoh, ang_hch):
    """H3C...H...OH saddle point (Cs): C at the origin, the moving H on +z, mirror plane xz.

    r_ch_abs, r_oh_abs: C-H* and H*-O distances; ang_cho: C-H*-O angle; ang_hoh: H*-O-H
    angle; ang_hch: H*-C-H angle of the methyl hydrogens, one in the plane (anti to the
    bend of the O atom), the other two at +-60 degrees of azimuth from the O side."""
    hs = [0.0, 0.0, r_ch_abs]
    bend = _rad(180.0 - ang_cho)
    o = [r_oh_abs * math.sin(bend), 0.0, r_ch_abs + r_oh_abs * math.cos(bend)]
    # O->H* direction turned in the xz plane by the H*-O-H angle, away from the C-H* axis
    d = [(hs[0] - o[0]) / r_oh_abs, 0.0, (hs[2] - o[2]) / r_oh_abs]
    t = -_rad(ang_hoh)
    h_o = [o[0] + r_oh * (d[0] * math.cos(t) + d[2] * math.sin(t)), 0.0,
           o[2] + r_oh * (-d[0] * math.sin(t) + d[2] * math.cos(t))]
    atoms = [(6, [0.0, 0.0, 0.0]), (1, hs), (8, o), (1, h_o)]
    polar = _rad(ang_hch)
    for phi in (180.0, 60.0, -60.0):
        p = _rad(phi)
        atoms.append((1, [r_ch * math.sin(polar) * math.cos(p),
                          r_ch * math.sin(polar) * math.sin(p), r_ch * math.cos(polar)]))
    return atoms


# Equilibrium and saddle-point structures of the examples, CCSD(T)/aug-cc-pVTZ-like values.
MOLECULES = {
    # OH + CH4 -> H2O + CH3
    "oh": linear_chain([8, 1], [0.9705]),
    "ch4": methane(1.0879),
    "h2o": water(0.9616, 104.11),
    "ch3": methyl(1.0790),
    "ts_oh_ch4": ts_oh_ch4(1.2060, 1.3160, 0.9700, 1.0865, 170.5, 97.0, 104.3),
    # HCN -> HNC
    "hcn": linear_chain([1, 6, 7], [1.0663, 1.1577]),
    "hnc": linear_chain([1, 7, 6], [0.9960, 1.1716]),
    "ts_hcn_hnc": bent_triatomic(6, 7, 1, 1.1860, 1.1889, 72.4),
    # H + H2 -> H2 + H
    "h": [(1, [0.0, 0.0, 0.0])],
    "h2": linear_chain([1, 1], [0.7428]),
    "h3": linear_chain([1, 1, 1], [0.9304, 0.9304]),
}


def data_file_lines(atoms):
    """The moments line, the mass line and the coordinates block in data-file columns."""
    moments, frame = principal_frame(atoms)
    lines = [" Ia,Ib,Ic, amu*A^2 " + "".join("%15.6f" % m for m in moments),
             " Molecular mass          :" + "%10.4f" % total_mass(atoms),
             " Molecular coordinates in principal axes (A)",
             "   No.      Z              X              Y              Z"]
    for k, (z, r) in enumerate(frame, start=1):
        # avoid printing -0.000000 for coordinates on a symmetry element
        r = [0.0 if abs(c) < 5e-7 else c for c in r]
        lines.append("%4d%10s%3d%3s%15.6f%15.6f%15.6f" % (k, "", z, "", r[0], r[1], r[2]))
    lines.append(" " + "-" * 64)
    return lines


def main(argv):
    names = list(MOLECULES) if argv[1:] == ["--all"] else argv[1:]
    if not names:
        print(__doc__)
        return 2
    for name in names:
        if name not in MOLECULES:
            print("unknown molecule %s; known: %s" % (name, " ".join(MOLECULES)))
            return 2
        print("== %s" % name)
        for line in data_file_lines(MOLECULES[name]):
            print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
