#!/bin/sh
# Writes the molecule data files of this example from the outputs in
# calculations/: geometry, frequencies and energy from the BH&HLYP/6-31G(d,p)
# NWChem runs (optimisation or saddle search, then frequencies); the torsions
# as hindered rotors, C2H6 and C2H5 with the potentials of GFN2-xTB relaxed
# scans (xtb), the saddle point with a cosine of the barrier of a restrained
# xtb scan replacing its torsion, mode 8 (calculations/README.txt says how
# each was made). Atoms are numbered as in the NWChem outputs: C1 C2 first.
# The C2H5 scan has six equal wells a turn, 0.13 kJ/mol deep (the CH2 group
# inverts as the methyl group turns), so its symmetry number is 6, not the 3
# of the slightly pyramidal geometry.
# ORVALEN_IMPORT names the program when it is not on the PATH.
set -e
cd "$(dirname "$0")"
import=${ORVALEN_IMPORT:-orvalen-import}
"$import" calculations/h.out -o h.dat
"$import" calculations/c2h6.out \
    --rotor 1,2 --rotor-scan calculations/c2h6_scan/scan.out -o c2h6.dat
"$import" calculations/h2.out -o h2.dat
"$import" calculations/c2h5.out \
    --rotor 2,1 --rotor-scan calculations/c2h5_scan/scan.out --rotor-symmetry 6 \
    -o c2h5.dat
"$import" calculations/ts.out \
    --rotor 2,1 --rotor-barrier 8.30 --rotor-mode 8 -o ts.dat
