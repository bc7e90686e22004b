#!/bin/sh
# Writes the molecule data files of the mechanism example, every energy at one
# level, CCSD(T)/cc-pVTZ (frozen C 1s):
# - H, CH4, H2, CH3 and the CH5 saddle point from examples/h_ch4_nwchem:
#   BH&HLYP/cc-pVTZ geometries and frequencies with its CCSD(T) single points;
# - C2H6, C2H5 and the C2H7 saddle point from examples/h_c2h6_nwchem: the
#   BH&HLYP/6-31G(d,p) geometries and frequencies and the torsions as hindered
#   rotors (as its import.sh takes them), with the CCSD(T) single points of
#   calculations/ here, at those geometries;
# - the C atom from calculations/c_ccsdt.out (its levels from import's table).
# ORVALEN_IMPORT names the program when it is not on the PATH.
set -e
cd "$(dirname "$0")"
import=${ORVALEN_IMPORT:-orvalen-import}
ch4=../h_ch4_nwchem/calculations
c2h6=../h_c2h6_nwchem/calculations
"$import" $ch4/h.out --energy $ch4/h_ccsdt.out -o h.dat
"$import" $ch4/ch4.out --energy $ch4/ch4_ccsdt.out -o ch4.dat
"$import" $ch4/h2.out --energy $ch4/h2_ccsdt.out -o h2.dat
"$import" $ch4/ch3.out --energy $ch4/ch3_ccsdt.out -o ch3.dat
"$import" $ch4/ts.out --energy $ch4/ts_ccsdt.out -o ch5_ts.dat
"$import" $c2h6/c2h6.out --energy calculations/c2h6_ccsdt.out \
    --rotor 1,2 --rotor-scan $c2h6/c2h6_scan/scan.out -o c2h6.dat
"$import" $c2h6/c2h5.out --energy calculations/c2h5_ccsdt.out \
    --rotor 2,1 --rotor-scan $c2h6/c2h5_scan/scan.out --rotor-symmetry 6 -o c2h5.dat
"$import" $c2h6/ts.out --energy calculations/ts_ccsdt.out \
    --rotor 2,1 --rotor-barrier 8.30 --rotor-mode 8 -o c2h7_ts.dat
"$import" calculations/c_ccsdt.out -o c.dat
