#!/bin/sh
# Writes the molecule data files of this example from the NWChem outputs in
# calculations/: geometry and frequencies from the BH&HLYP optimisation and
# frequency runs, the energy from the CCSD(T) single point at the same
# geometry. ORVALEN_IMPORT names the program when it is not on the PATH.
set -e
cd "$(dirname "$0")"
import=${ORVALEN_IMPORT:-orvalen-import}
"$import" calculations/h.out --energy calculations/h_ccsdt.out -o h.dat
"$import" calculations/h2.out --energy calculations/h2_ccsdt.out -o h2.dat
"$import" calculations/h3.out --energy calculations/h3_ccsdt.out -o h3.dat
