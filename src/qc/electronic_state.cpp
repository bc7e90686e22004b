#include "qc/electronic_state.hpp"

#include "base/error.hpp"
#include "qc/geometry_names.hpp"

namespace orvalen::qc {

long electronCount(const std::vector<int> &atomicNumbers, int charge) {
  long protons = 0;
  for (const int z : atomicNumbers)
    protons += z;
  return protons - charge;
}

int lowestMultiplicity(long electrons) {
  return electrons % 2 != 0 ? 2 : 1;
}

void checkSpinParity(const std::string &file, const std::vector<int> &atomicNumbers, int charge,
                     int multiplicity, const std::string &said) {
  const long electrons = electronCount(atomicNumbers, charge);
  const std::string molecule =
      hillFormula(atomicNumbers) + " with charge " + std::to_string(charge);
  if (electrons < 0 || (electrons == 0 && multiplicity != 1))
    throw Error(file + ": " + molecule + " has " + std::to_string(electrons) +
                " electrons: check the charge");
  // M - 1 unpaired electrons: M odd for an even count, even for an odd one.
  if ((electrons + multiplicity) % 2 != 0)
    return;
  const bool odd = electrons % 2 != 0;
  throw Error(file + ": spin multiplicity " + std::to_string(multiplicity) + " (" + said +
              ") is impossible for " + molecule + ": its " + std::to_string(electrons) +
              " electrons (the sum of the atomic numbers less the charge) are " +
              (odd ? "odd and need an even multiplicity (2 for one unpaired electron)"
                   : "even and need an odd multiplicity (1 for a closed shell, 3 for a triplet)") +
              "; check the multiplicity and the charge");
}

void checkSameState(const std::string &energyFile, const QcRecord &energyRecord,
                    const std::string &file, const ElectronicState &state) {
  const bool otherCharge = energyRecord.charge && *energyRecord.charge != state.charge;
  const bool otherMultiplicity =
      energyRecord.multiplicity > 0 && energyRecord.multiplicity != state.multiplicity;
  if (!otherCharge && !otherMultiplicity)
    return;
  std::string its = energyRecord.charge ? "charge " + std::to_string(*energyRecord.charge) : "";
  if (energyRecord.multiplicity > 0)
    its += (its.empty() ? "" : ", ") + std::string("spin multiplicity ") +
           std::to_string(energyRecord.multiplicity);
  const std::string wanted = "charge " + std::to_string(state.charge) + ", spin multiplicity " +
                             std::to_string(state.multiplicity) +
                             (state.multiplicityGiven ? " (--mult)" : "");
  throw Error(energyFile + ": " + its + ": another electronic state than the " + wanted + " of " +
              file +
              "; its energy is not that state's at a higher level: give an --energy output of "
              "the same charge and multiplicity");
}

} // namespace orvalen::qc
