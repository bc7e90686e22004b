#!/usr/bin/env python3
"""Reduced moments of internal rotation, by hand, for the tests of orvalen-import.

The reduced moment of a torsion is the kinetic energy 2T of the top turning at unit angular
velocity about the bond line once the overall translation and rotation are taken out (Pitzer,
J. Chem. Phys. 14 (1946) 239; Kilpatrick and Pitzer, J. Chem. Phys. 17 (1949) 1064):

    v_i = u x (r_i - r_p1) on the top, 0 elsewhere;  A = sum m |v|^2,  P = sum m v,
    L = sum m (r_i - c) x v_i;  I_red = A - |P|^2 / M - L . I^-1 L.

For a symmetric top (a methyl group) P = 0 and L = A u, so with the bond along z and a mirror
plane xz (I_xy = I_yz = 0) the formula is I_red = A - A^2 I_xx / (I_xx I_zz - I_xz^2): that
closed form is what the tests quote for ethane, methanol and acetyl chloride. The general form
serves the geometries without symmetry (the saddle point of OH + C2H6, ethyl). Also printed:
the earlier I(2,3), I_top I_rest / (I_top + I_rest) about the axis parallel to the bond
through the centre of mass, and A, the top's own moment about the bond.

    python3 reduced_moment.py            # the tests' geometries
    python3 reduced_moment.py FILE.xyz P1 P2 TOP...   # any xyz file, atoms from 1
"""

import math
import sys

MASS = {1: 1.00782503223, 6: 12.0, 8: 15.99491461957, 17: 34.968852682}  # AME 2016
SYMBOL = {"H": 1, "C": 6, "O": 8, "Cl": 17}
DEG = math.pi / 180.0
CH_RADIUS = 1.09 * math.sqrt(8.0 / 9.0)
CH_BACK = 1.09 / 3.0


def sub(a, b):
    return [a[k] - b[k] for k in range(3)]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def dot(a, b):
    return sum(a[k] * b[k] for k in range(3))


def around(radius, azimuth, z):
    return [radius * math.cos(azimuth * DEG), radius * math.sin(azimuth * DEG), z]


def com(atoms):
    m = sum(MASS[z] for z, _ in atoms)
    return [sum(MASS[z] * r[k] for z, r in atoms) / m for k in range(3)]


def tensor(atoms):
    c = com(atoms)
    t = [[0.0] * 3 for _ in range(3)]
    for z, r in atoms:
        d = sub(r, c)
        for i in range(3):
            for j in range(3):
                t[i][j] += MASS[z] * ((dot(d, d) if i == j else 0.0) - d[i] * d[j])
    return t


def inverse(t):
    """Inverse of a 3x3 matrix by cofactors."""
    det = (t[0][0] * (t[1][1] * t[2][2] - t[1][2] * t[2][1])
           - t[0][1] * (t[1][0] * t[2][2] - t[1][2] * t[2][0])
           + t[0][2] * (t[1][0] * t[2][1] - t[1][1] * t[2][0]))
    cof = [[(t[(j + 1) % 3][(i + 1) % 3] * t[(j + 2) % 3][(i + 2) % 3]
             - t[(j + 1) % 3][(i + 2) % 3] * t[(j + 2) % 3][(i + 1) % 3]) for j in range(3)]
           for i in range(3)]
    return [[cof[i][j] / det for j in range(3)] for i in range(3)]


def axis(atoms, p1, p2):
    d = sub(atoms[p2 - 1][1], atoms[p1 - 1][1])
    n = math.sqrt(dot(d, d))
    return [x / n for x in d]


def perp2(r, origin, u):
    d = sub(r, origin)
    a = dot(d, u)
    return dot(d, d) - a * a


def pitzer(atoms, top, p1, p2):
    u = axis(atoms, p1, p2)
    o = atoms[p1 - 1][1]
    c = com(atoms)
    a, p, l = 0.0, [0.0] * 3, [0.0] * 3
    for i in top:
        z, r = atoms[i - 1]
        v = cross(u, sub(r, o))
        a += MASS[z] * dot(v, v)
        w = cross(sub(r, c), v)
        for k in range(3):
            p[k] += MASS[z] * v[k]
            l[k] += MASS[z] * w[k]
    m = sum(MASS[z] for z, _ in atoms)
    inv = inverse(tensor(atoms))
    lil = sum(l[i] * inv[i][j] * l[j] for i in range(3) for j in range(3))
    return a - dot(p, p) / m - lil, a


def east_radom(atoms, top, p1, p2):
    u = axis(atoms, p1, p2)
    c = com(atoms)
    it = sum(MASS[z] * perp2(r, c, u) for i, (z, r) in enumerate(atoms) if i + 1 in top)
    ir = sum(MASS[z] * perp2(r, c, u) for i, (z, r) in enumerate(atoms) if i + 1 not in top)
    return it * ir / (it + ir)


def symmetric_top(atoms, top, p1, p2):
    """The closed form for a methyl top along z with the mirror plane xz."""
    t = tensor(atoms)
    a = sum(MASS[z] * perp2(r, atoms[p1 - 1][1], [0, 0, 1])
            for i, (z, r) in enumerate(atoms) if i + 1 in top)
    return a - a * a * t[0][0] / (t[0][0] * t[2][2] - t[0][2] ** 2), a, t


def ethane():
    return [(6, [0, 0, 0]), (6, [0, 0, 1.54])] + \
        [(1, around(CH_RADIUS, d, -CH_BACK)) for d in (0, 120, 240)] + \
        [(1, around(CH_RADIUS, d, 1.54 + CH_BACK)) for d in (60, 180, 300)]


def methanol():
    ox = 0.96 * math.sin(71.5 * DEG)
    return [(6, [0, 0, 0]), (8, [0, 0, 1.43])] + \
        [(1, around(CH_RADIUS, d, -CH_BACK)) for d in (60, 180, 300)] + \
        [(1, [ox, 0, 1.43 + 0.96 * math.cos(71.5 * DEG)])]


def acetyl_chloride():
    """CH3-C(=O)Cl: C-C 1.50 along z, C=O 1.19 at C-C-O 127 degrees, C-Cl 1.79 at C-C-Cl
    112 degrees on the other side, all in the xz plane; methyl H staggered about z."""
    o = [1.19 * math.sin(127 * DEG), 0, 1.50 - 1.19 * math.cos(127 * DEG)]
    cl = [-1.79 * math.sin(112 * DEG), 0, 1.50 - 1.79 * math.cos(112 * DEG)]
    return [(6, [0, 0, 0]), (6, [0, 0, 1.50]), (8, o), (17, cl)] + \
        [(1, around(CH_RADIUS, d, -CH_BACK)) for d in (60, 180, 300)]


def read_xyz(path):
    with open(path) as f:
        lines = f.read().split("\n")
    n = int(lines[0])
    atoms = []
    for line in lines[2:2 + n]:
        w = line.split()
        atoms.append((SYMBOL[w[0]], [float(x) for x in w[1:4]]))
    return atoms


def show(name, atoms, top, p1, p2, closed=False):
    red, a = pitzer(atoms, top, p1, p2)
    print(f"{name}: rotor {p1}-{p2}, top {top}")
    print(f"  A (top about the bond) {a:.6f}  I(2,3) {east_radom(atoms, top, p1, p2):.6f}"
          f"  I_red {red:.6f}")
    if closed:
        c, a2, t = symmetric_top(atoms, top, p1, p2)
        print(f"  closed form: A {a2:.6f}, I_xx {t[0][0]:.6f}, I_zz {t[2][2]:.6f}, "
              f"I_xz {t[0][2]:.6f}: I_red = A - A^2 I_xx/(I_xx I_zz - I_xz^2) = {c:.6f}")
    rest = [i for i in range(1, len(atoms) + 1) if i not in top]
    print(f"  from the other side: {pitzer(atoms, rest, p2, p1)[0]:.6f}")


def main():
    if len(sys.argv) > 1:
        atoms = read_xyz(sys.argv[1])
        p1, p2 = int(sys.argv[2]), int(sys.argv[3])
        show(sys.argv[1], atoms, [int(x) for x in sys.argv[4:]], p1, p2)
        return
    show("ethane", ethane(), [1, 3, 4, 5], 1, 2, True)
    show("methanol", methanol(), [1, 3, 4, 5], 1, 2, True)
    show("acetyl chloride", acetyl_chloride(), [1, 5, 6, 7], 1, 2, True)


if __name__ == "__main__":
    main()
