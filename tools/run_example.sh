#!/bin/sh
# The worked example from start to finish: the NWChem outputs kept in
# examples/h_ch4_nwchem/calculations/ (H + CH4 -> H2 + CH3) through
# orvalen-import (five molecule data files), orvalen (the report) and
# orvalen-scan (k(T) from 200 to 2000 K with Eckart tunnelling and the
# Arrhenius fits, as a table, CSV and JSON, and the Arrhenius plot); then the
# example with torsions, examples/h_c2h6_nwchem/ (H + C2H6 -> H2 + C2H5: NWChem
# outputs and xtb torsion scans through orvalen-import with hindered rotors,
# orvalen, and orvalen-scan with the rotors and without them, each a table
# and a plot), in BUILD/example/h_c2h6_nwchem/; then the mechanism of both
# reactions at one level of energy (examples/mechanism/: orvalen-import and
# orvalen-mech, Cantera YAML and Chemkin files with formation enthalpies), in
# BUILD/example/mechanism/, with each species' formation enthalpy beside the
# Active Thermochemical Tables' value; last, the example with conformers
# (examples/h_hcooh_nwchem/: H + HCOOH -> H2 + COOH, two structures of each
# molecule in one data file), scanned with its conformers summed and with the
# lowest structures alone, in BUILD/example/h_hcooh_nwchem/.
#
#   tools/run_example.sh [BUILD]
#
# BUILD is the build folder holding orvalen, orvalen-import, orvalen-scan and orvalen-mech
# (default: build in the repository; a relative BUILD is taken from the
# current folder). Everything is written under BUILD/example/, which is
# emptied first; nothing is written into examples/. The script stops at the
# first step that fails, saying which. At the end it prints where each output
# is and a few key numbers: the rate constant at the job's temperature from
# the report, and the fits.
set -u

me=run_example.sh
fail() {
    echo "$me: $*" >&2
    exit 1
}

[ $# -le 1 ] || fail "usage: tools/run_example.sh [BUILD]"
root=$(cd "$(dirname "$0")/.." && pwd) || fail "cannot find the repository folder"
build_arg=${1:-$root/build}
[ -n "$build_arg" ] || fail "usage: tools/run_example.sh [BUILD]"

example=h_ch4_nwchem
src=$root/examples/$example
[ -d "$src/calculations" ] || fail "$src/calculations not found"

[ -d "$build_arg" ] || fail "build folder $build_arg not found: build the programs first with
  cmake -S . -B $build_arg -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_COMPANIONS=ON
  cmake --build $build_arg --target orvalen orvalen-import orvalen-scan"
build=$(cd "$build_arg" && pwd) || fail "cannot enter $build_arg"
for program in orvalen orvalen-import orvalen-scan; do
    if [ ! -f "$build/$program" ] || [ ! -x "$build/$program" ]; then
        fail "$build_arg/$program not found: build it with
  cmake -S . -B $build_arg -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_COMPANIONS=ON
  cmake --build $build_arg --target orvalen orvalen-import orvalen-scan"
    fi
done

out=$build/example
shown=$build_arg/example # the folder as the caller named it, for the messages
rm -rf "$out" || fail "cannot empty $shown"
mkdir -p "$out" || fail "cannot create $shown"

# The folder the steps run in: the output folder, then its subfolder $sub for
# the example with torsions.
here=$out
sub=
# step DESCRIPTION COMMAND...: runs COMMAND in the folder $here; stops the
# script with DESCRIPTION when it fails.
step() {
    what=$1
    shift
    (cd "$here" && "$@") || fail "step '$what' failed (exit status $?); the files so far are in $shown"
}
# step_quiet LOG DESCRIPTION COMMAND...: the same, with standard error kept in
# LOG and shown only when COMMAND fails.
step_quiet() {
    log=$1
    what=$2
    shift 2
    (cd "$here" && "$@" 2>"$log") || {
        status=$?
        cat "$here/$log" >&2
        fail "step '$what' failed (exit status $status); the files so far are in $shown"
    }
    rm -f "$here/$log"
}
# expect FILE...: each must exist in $here and not be empty after the step before.
expect() {
    for f in "$@"; do
        [ -s "$here/$f" ] || fail "$shown/${sub}$f was not written"
    done
}

# 1. The calculations and the import script, copied, so that import.sh writes
#    the data files beside itself in the output folder.
cp -R "$src/calculations" "$out/calculations" || fail "cannot copy the calculations to $shown"
cp "$src/import.sh" "$src/$example.inp" "$out/" || fail "cannot copy import.sh and $example.inp to $shown"

# 2. Molecule data files from the frequency outputs and the CCSD(T) energies.
dats="h.dat ch4.dat h2.dat ch3.dat ts.dat"
step "orvalen-import (import.sh)" env ORVALEN_IMPORT="$build/orvalen-import" sh ./import.sh
# shellcheck disable=SC2086 # the names hold no blanks
expect $dats

# 3. The report.
step "orvalen $example" "$build/orvalen" "$example"
expect "$example.out"

# 4. The scan: a table (for its fit lines), CSV, and JSON with the plot. The
#    same warnings come from each run, so the last two keep theirs in a file,
#    shown when the run fails.
scan_args="$example --tunnelling eckart --fit -T 200:2000:50"
# shellcheck disable=SC2086 # scan_args is split on purpose
step "orvalen-scan (table)" "$build/orvalen-scan" $scan_args -o "${example}_scan.txt"
expect "${example}_scan.txt"
# shellcheck disable=SC2086
step_quiet scan_csv.log "orvalen-scan (CSV)" \
    "$build/orvalen-scan" $scan_args --format csv -o "${example}_scan.csv"
expect "${example}_scan.csv"
# shellcheck disable=SC2086
step_quiet scan_json.log "orvalen-scan (JSON and plot)" \
    "$build/orvalen-scan" $scan_args --format json -o "${example}_scan.json" \
    --plot "${example}_arrhenius.svg"
expect "${example}_scan.json" "${example}_arrhenius.svg"

# 5. Where everything is.
same() { # same FILE COMMITTED: a note on whether FILE equals the committed one
    if cmp -s "$out/$1" "$src/$2"; then
        echo "(same as examples/$example/$2)"
    else
        echo "(differs from the committed examples/$example/$2)"
    fi
}
echo
echo "Outputs in $shown:"
for f in $dats; do
    echo "  data file     $shown/$f $(same "$f" "$f")"
done
echo "  job input     $shown/$example.inp"
echo "  report        $shown/$example.out $(same "$example.out" "$example.expected")"
echo "  scan table    $shown/${example}_scan.txt"
echo "  scan CSV      $shown/${example}_scan.csv"
echo "  scan JSON     $shown/${example}_scan.json"
echo "  plot          $shown/${example}_arrhenius.svg"

# 6. Key lines. The report's kinetic section: its temperature, dH0, kQ (the
#    cm3/molecule/s column) and the tunnelling coefficients that follow.
report=$out/$example.out
echo
echo "Key numbers:"
awk '
    /Kinetic parameters for the reaction/ { kin = 1 }
    kin && /^ Temperature  =/ && t == "" { t = $3 }
    /Activation enthalpy at 0K dH0/ { dh0 = $(NF) }
    /^ DrH =/ { drh = $3 }
    /Rate constant kQ/ { kq = $(NF - 1) }
    /Transmission coeeficient by Wigner/ { w = $NF }
    /Transmission coeeficient by Skodje/ { st = $(NF - 2) }
    END {
        if (kq == "") { print "  (no rate constant line in the report)"; exit }
        printf "  report (T = %s K): kQ = %s cm3/molecule/s, dH0 = %s kJ/mol, DrH = %s kJ/mol\n",
               t, kq, dh0, drh
        printf "  report tunnelling coefficients: Wigner %.3f, Skodje-Truhlar %.2f\n", w, st
    }' "$report"
# The scan's k (kQ times the Eckart coefficient, at the standard state) at 300 K, from the CSV.
awk -F, '
    NR == 1 { for (i = 1; i <= NF; i++) { if ($i == "k (cm3/molecule/s)") kc = i; if ($i == "kappa Eckart ()") ec = i }; next }
    $1 == 300 && kc { printf "  scan at 300 K: Eckart coefficient %.2f, k = kQ x Eckart x P0/P = %.4e cm3/molecule/s (at P0 = 1e5 Pa)\n", $ec, $kc }
' "$out/${example}_scan.csv"
# The fits, as orvalen-scan prints them.
sed -n -e '/^Fit of k/,$p' "$out/${example}_scan.txt" | sed -e 's/^ */  /'

# 7. The example with torsions, in its own folder: the import with hindered
#    rotors, the report (harmonic torsions; it warns that the rotors are left
#    out), and the scan with the rotors (quantum levels) and without them,
#    each a table with fits and an Arrhenius plot.
torsion=h_c2h6_nwchem
tsrc=$root/examples/$torsion
[ -d "$tsrc/calculations" ] || fail "$tsrc/calculations not found"
sub=$torsion/
here=$out/$torsion
mkdir -p "$here" || fail "cannot create $shown/$torsion"
cp -R "$tsrc/calculations" "$here/calculations" || fail "cannot copy the calculations to $shown/$torsion"
cp "$tsrc/import.sh" "$tsrc/$torsion.inp" "$here/" || fail "cannot copy import.sh and $torsion.inp to $shown/$torsion"
tdats="h.dat c2h6.dat h2.dat c2h5.dat ts.dat"
echo
echo "The example with torsions ($torsion):"
step "orvalen-import ($torsion/import.sh)" env ORVALEN_IMPORT="$build/orvalen-import" sh ./import.sh
# shellcheck disable=SC2086 # the names hold no blanks
expect $tdats
step "orvalen $torsion" "$build/orvalen" "$torsion"
expect "$torsion.out"
targs="$torsion --tunnelling eckart --fit -T 200:2000:50"
for rotors in quantum harmonic; do
    # shellcheck disable=SC2086 # targs is split on purpose
    step_quiet "scan_$rotors.log" "orvalen-scan --rotors $rotors" "$build/orvalen-scan" $targs \
        --rotors "$rotors" -o "${torsion}_$rotors.txt" --plot "${torsion}_$rotors.svg"
    expect "${torsion}_$rotors.txt" "${torsion}_$rotors.svg"
done

tshown=$shown/$torsion
echo
echo "Outputs in $tshown:"
for f in $tdats; do
    if cmp -s "$here/$f" "$tsrc/$f"; then note="(same as examples/$torsion/$f)"; else note="(differs from the committed examples/$torsion/$f)"; fi
    echo "  data file     $tshown/$f $note"
done
if cmp -s "$here/$torsion.out" "$tsrc/$torsion.expected"; then
    note="(same as examples/$torsion/$torsion.expected)"
else
    note="(differs from the committed examples/$torsion/$torsion.expected)"
fi
echo "  report        $tshown/$torsion.out $note"
for rotors in quantum harmonic; do
    echo "  scan, --rotors $rotors: table $tshown/${torsion}_$rotors.txt, plot $tshown/${torsion}_$rotors.svg"
done
# k at 300 K, the last column of the table's row, with the rotors and without them.
echo
echo "Key numbers:"
awk '
    FNR == 1 { file++ }
    $1 == "300.00" { k[file] = $NF; dh0[file] = $4 }
    END {
        if (k[1] == "" || k[2] == "") { print "  (no 300 K row in the scan tables)"; exit }
        printf "  scan at 300 K: k = %s cm3/molecule/s with the rotors (dH0 %s kJ/mol), %s harmonic (dH0 %s kJ/mol): ratio %.3f\n",
               k[1], dh0[1], k[2], dh0[2], k[1] / k[2]
    }' "$here/${torsion}_quantum.txt" "$here/${torsion}_harmonic.txt"

# 8. The mechanism of both reactions (examples/mechanism): H + CH4 and H +
#    C2H6, sharing H and H2, at one level of energy (CCSD(T)/cc-pVTZ), the H
#    and C atoms at that level for the formation enthalpies; the Cantera YAML
#    and the Chemkin mechanism and thermo files.
mech=mechanism
msrc=$root/examples/$mech
[ -d "$msrc/calculations" ] || fail "$msrc/calculations not found"
sub=$mech/
here=$out/$mech
mkdir -p "$here" "$out/h_ch4_nwchem" || fail "cannot create $shown/$mech"
# import.sh takes the frequency outputs from ../h_ch4_nwchem and ../h_c2h6_nwchem.
cp -R "$src/calculations" "$out/h_ch4_nwchem/calculations" || fail "cannot copy the calculations to $shown/h_ch4_nwchem"
cp -R "$msrc/calculations" "$here/calculations" || fail "cannot copy the calculations to $shown/$mech"
cp "$msrc/import.sh" "$msrc/jobs.txt" "$msrc/h_ch4.inp" "$msrc/h_c2h6.inp" "$msrc/atoms.txt" "$here/" ||
    fail "cannot copy the mechanism's inputs to $shown/$mech"
mdats="h.dat ch4.dat h2.dat ch3.dat ch5_ts.dat c2h6.dat c2h5.dat c2h7_ts.dat c.dat"
echo
echo "The mechanism of both reactions ($mech):"
step "orvalen-import ($mech/import.sh)" env ORVALEN_IMPORT="$build/orvalen-import" sh ./import.sh
# shellcheck disable=SC2086 # the names hold no blanks
expect $mdats
[ -x "$build/orvalen-mech" ] || fail "$build_arg/orvalen-mech not found: build it with
  cmake --build $build_arg --target orvalen-mech"
step_quiet mech.log "orvalen-mech" "$build/orvalen-mech" --jobs jobs.txt \
    --atoms atoms.txt --spin-orbit-shift -o mech.yaml --chemkin mech.inp --thermo therm.dat
expect mech.yaml mech.inp therm.dat
mshown=$shown/$mech
echo
echo "Outputs in $mshown:"
for f in $mdats; do
    if cmp -s "$here/$f" "$msrc/$f"; then note="(same as examples/$mech/$f)"; else note="(differs from the committed examples/$mech/$f)"; fi
    echo "  data file     $mshown/$f $note"
done
echo "  Cantera YAML  $mshown/mech.yaml"
echo "  Chemkin       $mshown/mech.inp, thermo $mshown/therm.dat"
# Each species' DfH(298.15 K) beside the Active Thermochemical Tables' (kJ/mol;
# the ATcT values as tabulated in PACChem/QTC qtc/newdb.py, commit 9d54144,
# which does not name the ATcT version). examples/README.md discusses the
# difference: the level of theory.
echo
echo "Formation enthalpies DfH(298.15 K), kJ/mol (CCSD(T)/cc-pVTZ against ATcT):"
awk '
    BEGIN {
        atct["H"] = 217.998; atct["H2"] = 0; atct["CH4"] = -74.52; atct["CH3"] = 146.374
        atct["C2H6"] = -83.91; atct["C2H5"] = 119.86
    }
    /^  [A-Z0-9]+: DfH\(298.15 K\) = / {
        name = $1; sub(":", "", name)
        printf "  %-6s %9.2f   ATcT %9.2f   difference %7.2f\n", name, $5, atct[name], $5 - atct[name]
    }' "$here/mech.yaml"

# 9. The example with conformers (examples/h_hcooh_nwchem): HCOOH, COOH and
#    the saddle point each of two structures (Z and E), one data file each;
#    the report (main structures alone; it says so), and the scan with the
#    structures summed (--conformers all, the default) and with the lowest
#    alone, each a table.
conf=h_hcooh_nwchem
csrc=$root/examples/$conf
[ -d "$csrc/calculations" ] || fail "$csrc/calculations not found"
sub=$conf/
here=$out/$conf
mkdir -p "$here" || fail "cannot create $shown/$conf"
cp -R "$csrc/calculations" "$here/calculations" || fail "cannot copy the calculations to $shown/$conf"
cp "$csrc/import.sh" "$csrc/$conf.inp" "$here/" || fail "cannot copy import.sh and $conf.inp to $shown/$conf"
cdats="h.dat hcooh.dat h2.dat cooh.dat ts.dat"
echo
echo "The example with conformers ($conf):"
step_quiet import.log "orvalen-import ($conf/import.sh)" env ORVALEN_IMPORT="$build/orvalen-import" sh ./import.sh
# shellcheck disable=SC2086 # the names hold no blanks
expect $cdats
step_quiet orvalen.log "orvalen $conf" "$build/orvalen" "$conf"
expect "$conf.out"
cargs="$conf --tunnelling eckart -T 298.15,500,1000,2000"
for conformers in all lowest; do
    # shellcheck disable=SC2086 # cargs is split on purpose
    step_quiet "scan_$conformers.log" "orvalen-scan --conformers $conformers" "$build/orvalen-scan" $cargs \
        --conformers "$conformers" -o "${conf}_$conformers.txt"
    expect "${conf}_$conformers.txt"
done
cshown=$shown/$conf
echo
echo "Outputs in $cshown:"
for f in $cdats; do
    if cmp -s "$here/$f" "$csrc/$f"; then note="(same as examples/$conf/$f)"; else note="(differs from the committed examples/$conf/$f)"; fi
    echo "  data file     $cshown/$f $note"
done
if cmp -s "$here/$conf.out" "$csrc/$conf.expected"; then
    note="(same as examples/$conf/$conf.expected)"
else
    note="(differs from the committed examples/$conf/$conf.expected)"
fi
echo "  report        $cshown/$conf.out $note"
for conformers in all lowest; do
    echo "  scan, --conformers $conformers: table $cshown/${conf}_$conformers.txt"
done
# k of each temperature, the last column of the table's rows, with the
# structures summed and with the lowest alone.
echo
echo "Key numbers (k with the conformers summed over k of the lowest structures alone):"
awk '
    FNR == 1 { file++ }
    $1 ~ /^[0-9]+\.[0-9]+$/ && NF > 4 { k[file, $1] = $NF; if (file == 1) t[++n] = $1 }
    END {
        for (i = 1; i <= n; i++)
            if (k[2, t[i]] > 0)
                printf "  %8s K: %.3f\n", t[i], k[1, t[i]] / k[2, t[i]]
    }' "$here/${conf}_all.txt" "$here/${conf}_lowest.txt"
