#!/bin/sh
# Writes the molecule data files of this example from the outputs in
# calculations/: geometry, frequencies and energy from the BH&HLYP/6-31G(d,p)
# NWChem runs (optimisation or saddle search, then frequencies). HCOOH, COOH
# and the saddle point each have two conformers, the hydroxyl H syn (Z) or
# anti (E) to the carbonyl O: one data file each, from both outputs, the
# structure of lowest E0 its main one (calculations/README.txt says how each
# was made). The H atom and H2 are those of examples/h_c2h6_nwchem, at the
# same level.
# ORVALEN_IMPORT names the program when it is not on the PATH.
set -e
cd "$(dirname "$0")"
import=${ORVALEN_IMPORT:-orvalen-import}
"$import" calculations/h.out -o h.dat
"$import" calculations/hcooh_z.out calculations/hcooh_e.out -o hcooh.dat
"$import" calculations/h2.out -o h2.dat
"$import" calculations/cooh_z.out calculations/cooh_e.out -o cooh.dat
"$import" calculations/ts_z.out calculations/ts_e.out -o ts.dat
