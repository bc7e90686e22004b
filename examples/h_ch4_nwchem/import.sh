#!/bin/sh
# Writes the molecule data files of this example from the NWChem outputs in
# calculations/: geometry and frequencies from the BH&HLYP/cc-pVTZ
# optimisation (saddle search) and frequency runs, the energy from the
# CCSD(T)/cc-pVTZ single point at the same geometry. ORVALEN_IMPORT names the
# program when it is not on the PATH.
set -e
cd "$(dirname "$0")"
import=${ORVALEN_IMPORT:-orvalen-import}
"$import" calculations/h.out --energy calculations/h_ccsdt.out -o h.dat
"$import" calculations/ch4.out --energy calculations/ch4_ccsdt.out -o ch4.dat
"$import" calculations/h2.out --energy calculations/h2_ccsdt.out -o h2.dat
"$import" calculations/ch3.out --energy calculations/ch3_ccsdt.out -o ch3.dat
"$import" calculations/ts.out --energy calculations/ts_ccsdt.out -o ts.dat
