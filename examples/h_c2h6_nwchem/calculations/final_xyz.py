#!/usr/bin/env python3
"""XYZ file of the final geometry of a NWChem optimisation, atoms in the
output's order: the first "Output coordinates in angstroms" table after
"Optimization converged" (rows "1 C 6.0000 x y z").

usage: final_xyz.py NAME.out > NAME_nwchem.xyz
"""
import sys


def main():
    path = sys.argv[1]
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    start = next(i for i, l in enumerate(lines) if "Optimization converged" in l)
    table = next(i for i in range(start, len(lines))
                 if "Output coordinates in angstroms" in lines[i])
    atoms = []
    for line in lines[table + 1:]:
        w = line.split()
        if len(w) == 6 and w[0].isdigit():
            atoms.append((w[1].rstrip("0123456789"), w[3], w[4], w[5]))
        elif atoms:
            break
    print(len(atoms))
    print("final geometry of %s (NWChem, Angstrom)" % path.split("/")[-1])
    for symbol, x, y, z in atoms:
        print("%-2s %14s %14s %14s" % (symbol, x, y, z))


if __name__ == "__main__":
    main()
