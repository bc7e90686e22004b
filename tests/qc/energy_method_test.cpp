// The method of the energy as each output states it, basis set included, and
// the "Energy method" marker orvalen-import writes from it. Expected texts are
// read off the fixtures: Gaussian's "SCF Done:  E(UB3LYP)" (the reference's R,
// U or RO left out, one method for closed and open shells) or "CCSD(T)=" with
// "Standard basis:"; NWChem's "BHLYP Method XC Functional" (HF for an SCF
// energy) with the description column of "Summary of "ao basis""; ORCA's
// "SCF SETTINGS" (Hamiltonian, exchange and correlation functionals, share of
// HF exchange) with "Your calculation utilizes the basis:"; Psi4's "@UHF Final
// Energy" or "* CCSD(T) total energy" with "Basis Set:"; xtb's Hamiltonian.
#include "molecule/mol_file_writer.hpp"
#include "qc/import.hpp"
#include "qc/readers.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace orvalen::qc {
namespace {

namespace fs = std::filesystem;

const fs::path QC = fs::path(ORVALEN_FIXTURES) / "qc";

struct MethodCase {
  std::string name;
  std::string file; // under tests/fixtures/qc
  std::string method;
};

void PrintTo(const MethodCase &c, std::ostream *os) {
  *os << c.name;
}

class StatesMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(StatesMethod, WithItsBasisSet) {
  EXPECT_EQ(readOutput(QC / GetParam().file).energyMethod, GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, StatesMethod,
    ::testing::Values(
        // "#P guess=read ub3lyp/6-311+g(3df,2p)": E(UB3LYP), Standard basis: 6-311+G(3df,2p)
        MethodCase{"gaussian_unrestricted_b3lyp", "gaussian/CH3OO_freq_gaussian.out",
                   "B3LYP/6-311+G(3df,2p)"},
        MethodCase{"gaussian_b97d", "gaussian/HCN_singlet.out", "B97D/6-31G(d)"},
        // the route's cbsb7 is printed as the basis it stands for
        MethodCase{"gaussian_cbsb7", "gaussian/TS_NH3+H=NH2+H2.out", "B3LYP/6-311G(2d,d,p)"},
        MethodCase{"gaussian_wb97xd", "gaussian/gaussian16_claisen_ts.log", "wB97XD/6-31+G(d)"},
        // E(RHF) first, then CCSD(T)=: the highest level
        MethodCase{"gaussian_ccsdt", "gaussian/water_ccsdt.log", "CCSD(T)/STO-3G"},
        MethodCase{"orca_hf", "orca/CO2_vib.out", "HF/STO-3G"},
        // "! B3LYP def2-TZVP": B88 exchange, LYP correlation, ScalHFX 0.200000
        MethodCase{"orca_hybrid", "orca/Orca_opt_freq_test.log", "B88-LYP(20% HF)/def2-TZVP"},
        MethodCase{"orca_range_separated", "orca/orca5_claisen_ts.out", "WB97X-D3/def2-SVP"},
        // "! PM3": a semiempirical Hamiltonian, no basis set of its own named
        MethodCase{"orca_semiempirical", "orca/Orca_TS_test.log", "NDDO"},
        MethodCase{"nwchem_scf", "nwchem/h2o_scf_freq.out", "HF/6-31G*"},
        MethodCase{"nwchem_bhlyp", "nwchem/h3_freq_then_irc.out", "BHLYP/cc-pvtz"},
        MethodCase{"nwchem_b3lyp_radical", "nwchem/oh_noautosym.out", "B3LYP/6-31G*"},
        MethodCase{"nwchem_ccsdt", "nwchem/h2o_ccsdt.out", "CCSD(T)/6-31G*"},
        // "O  6-31G*" and "H  sto-3g" rows: a basis set per element
        MethodCase{"nwchem_basis_per_element", "nwchem/h2o_mixed_basis.out",
                   "HF/O:6-31G*,H:sto-3g"},
        // "@UHF Final Energy", "Basis Set: 6-31G*"
        MethodCase{"psi4_uhf", "psi4/oh_freq.out", "HF/6-31G*"},
        MethodCase{"psi4_ccsdt", "psi4/h2o_ccsdt.out", "CCSD(T)/CC-PVDZ"},
        MethodCase{"xtb_gfn2", "xtb/h2o/h2o.out", "GFN2-xTB"}),
    [](const auto &info) { return info.param.name; });

// The written marker, read from column 27: the energy output's method with
// --energy, --energy-method over any, none for a value typed in.
std::string writtenMethod(const Imported &imp) {
  std::ostringstream out;
  writeMolFile(out, imp.data);
  std::istringstream in(out.str());
  std::string found;
  for (std::string line; std::getline(in, line);)
    if (line.rfind(" Energy method           :", 0) == 0)
      found = line.substr(26);
  return found;
}

TEST(EnergyMethodMarker, IsTheMethodOfTheEnergyWritten) {
  ImportOptions options;
  EXPECT_EQ(writtenMethod(importOutput(QC / "nwchem/h2o_scf_freq.out", options)), "HF/6-31G*");

  options.energyFile = QC / "psi4/h2o_ccsdt.out";
  EXPECT_EQ(writtenMethod(importOutput(QC / "nwchem/h2o_scf_freq.out", options)),
            "CCSD(T)/CC-PVDZ");

  options.energyMethod = "CCSD(T)-F12/cc-pVTZ-F12";
  EXPECT_EQ(writtenMethod(importOutput(QC / "nwchem/h2o_scf_freq.out", options)),
            "CCSD(T)-F12/cc-pVTZ-F12");
}

TEST(EnergyMethodMarker, NoneForDataFromAPaperWithoutAMethodGiven) {
  const fs::path dir = QC / "user_data";
  ImportOptions options;
  options.energyValue = -76.4089531;
  options.multiplicity = 1;
  EXPECT_EQ(writtenMethod(importUserData(dir / "water.xyz", dir / "water.freqs", options)), "");
  options.energyMethod = "CCSD(T)/aug-cc-pVQZ";
  EXPECT_EQ(writtenMethod(importUserData(dir / "water.xyz", dir / "water.freqs", options)),
            "CCSD(T)/aug-cc-pVQZ");
}

} // namespace
} // namespace orvalen::qc
