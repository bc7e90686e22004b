#!/usr/bin/env bash
# Writes the seed corpus of each fuzz target into tests/fuzz/seeds/ from the
# example jobs and the test fixtures. Run again after adding examples.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seeds=$here/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{job_input,mol_file,format,run}

# Job inputs as they are.
for f in "$root"/examples/*/*.inp "$root"/tests/fixtures/input/*.inp; do
  cp "$f" "$seeds/job_input/$(basename "$(dirname "$f")")_$(basename "$f")"
done

# Data files behind a first byte that says which of MULT, ROTNUM, ETOT the job gave.
n=0
for f in "$root"/examples/*/*.dat "$root"/tests/fixtures/molecule/*.dat \
         "$root"/tests/fixtures/molecule/bad/*.dat "$root"/tests/fixtures/thermo/*.dat; do
  n=$((n + 1))
  { printf "\\$(printf '%03o' $((n % 8)))"; cat "$f"; } >"$seeds/mol_file/$(basename "$f" .dat)_$n"
done

# Format target: byte 0 chooses a record (0), a format text and a record (1),
# or numbers for the field editors (2).
fmt_seed() { printf "$2" >"$seeds/format/$1"; }
fmt_seed rec_mass '\000 Molecular mass          :   18.0106'
fmt_seed rec_moments '\000 Ia,Ib,Ic, amu*A^2        0.614458       1.154920       1.769379'
fmt_seed rec_atom '\000      2         1          0.756950      -0.520313       0.000000'
fmt_seed rec_mode '\000   7-1536.000  415.600'
fmt_seed rec_energy '\000 Base Energy :    -116.06545000'
fmt_seed rec_keff '\0002.5E15'
fmt_seed fmt_gtot "\\001( ' Gtot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')"
fmt_seed fmt_rate "\\001( ' Rate constant kQ     k(T)=A*Exp(-dH0/RT)',4(1pe20.6))"
fmt_seed fmt_drq "\\001(//' DrQ = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)"
fmt_seed fmt_nneg "\\001(' Nneg   ',<>i15,12x,<>i15)"
fmt_seed fmt_file "\\001(/' File   ',<>(1x,a14),12x,<>(1x,a14))"
fmt_seed fmt_title "\\001(//,1x,255a1)"
fmt_seed fmt_keff "\\001(/' Effective rate constant kG * C**n          ',1pd17.6,3(1pd20.6))"
fmt_seed read_atom "\\001(14x,i3,3x,3f15.6)\n      2         1          0.756950      -0.520313"
fmt_seed read_mode "\\001(4x,2f9.3)\n   7-1536.000  415.600"
fmt_seed read_stamp "\\001(10x,i6)\nnBuild   =   347"
fmt_seed edit_pi '\002\030\055\104\124\373\041\011\100\020\006\001\000\000\000\000\000\000\000\000'
fmt_seed edit_big '\002\000\000\000\000\000\000\360\177\017\005\000\377\377\377\377\377\377\377\377'

# Whole runs: a data file under the fixed job, or a job, a NUL and a data file.
for f in "$root"/examples/*/*.dat; do
  cp "$f" "$seeds/run/$(basename "$(dirname "$f")")_$(basename "$f" .dat)"
done
{ printf 'REACT OH a.dat\nTS T a.dat\nPROD H a.dat\nKEFF 1E15 1\n\0'; cat "$root/examples/oh_ch4/ts1.dat"; } \
  >"$seeds/run/job_and_ts1"

# Outputs of quantum-chemistry programs: the lines around what the readers look
# for in each real output kept as a fixture, at most 80000 bytes (the longest
# qc_output input run_fuzz.sh tries): whole enough for the Gaussian and ORCA
# outputs to reach their frequencies, the import and the data file.
mkdir -p "$seeds/qc_output"
for f in "$root"/tests/fixtures/qc/*/*.out "$root"/tests/fixtures/qc/*/*.log "$root"/tests/fixtures/qc/xtb/*/*.out \
         "$root"/examples/*/calculations/*.out; do
  awk '/Northwest Computational|nwchem branch|Psi4: An Open|Psi4 1\.|xtb version|program call|Output coordinates|Projected Frequencies|P\.Frequency|Projected Infra|Geometry Optimization|Transition State Search|Optimization converged|Total (SCF|DFT|MP2|CCSD|CCSD\(T\)) energy|Spin multiplicity|symmetry breaking|current input line|Geometry \(in|Final optimized|Final energy|Optimization is complete|finite-differences|Harmonic Vibrational|Final Energy:|total energy|final structure|vibrational frequencies|IR intensities|TOTAL ENERGY|Hamiltonian|electrons|A N C O P T|CONVERGED|Total times|exiting successfully|encountered an error|Entering Gaussian|Gaussian, Inc|, Revision |orientation:|SCF Done|EUMP2|E\(Corr\)=|CCSD\(T\)=|Multiplicity = |Rotational constants|Search for a|Optimization (completed|stopped)|IRC-IRC|Harmonic frequencies|Frequencies --|Normal termination|Error termination|O   R   C   A|Program Version|CARTESIAN COORDINATES \(ANGSTROEM\)|FINAL SINGLE POINT|Mult            \.\.\.\.|Geometry Optimization Run|VIBRATIONAL FREQUENCIES|IR SPECTRUM|TERMINATED NORMALLY|JOB NUMBER|Total Charge|Charge           :|charge          =|total charge|ID    Z sym|Task  times|Total G, Free enthalpy|Cleaning optimization|Freq \[cm|IR activ|Thermochemistry Components/ { keep = 14 }
       keep > 0 { print; keep--; n += length($0) + 1; if (n > 80000) exit }' "$f" | head -c 80000 \
    >"$seeds/qc_output/$(basename "$(dirname "$f")")_$(basename "${f%.*}")"
done
