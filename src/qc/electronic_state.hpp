#pragma once
// The electronic state a data file is written for: its charge and spin
// multiplicity. 2S+1 = M needs M-1 unpaired electrons, so an odd number of
// electrons (the sum of the atomic numbers less the charge) has an even
// multiplicity and an even number an odd one: OH (9 electrons) is no singlet.
// An energy of another charge or multiplicity is another state's, not a
// higher level of the same one.
//
//   checkSpinParity("oh.out", {8, 1}, 0, 1, "--mult 1"); // throws
#include "qc/qc_record.hpp"

#include <string>
#include <vector>

namespace orvalen::qc {

// The sum of the atomic numbers less the charge.
long electronCount(const std::vector<int> &atomicNumbers, int charge);

// The lowest multiplicity of that many electrons: 1 for an even number, 2 for
// an odd one.
int lowestMultiplicity(long electrons);

// Throws orvalen::Error "FILE: spin multiplicity M (`said`) is impossible for
// ..." when the parity of `multiplicity` does not fit the electron count, or
// when the count is not positive.
void checkSpinParity(const std::string &file, const std::vector<int> &atomicNumbers, int charge,
                     int multiplicity, const std::string &said);

// The state the frequencies' data file is written for, as the import chose it.
struct ElectronicState {
  int charge = 0;
  int multiplicity = 1;
  bool multiplicityGiven = false; // --mult, not the output's
};

// Throws orvalen::Error "EFILE: charge q, spin multiplicity m: another
// electronic state than ..." when the --energy output states another charge or
// multiplicity than `state`; what it does not state is not compared.
void checkSameState(const std::string &energyFile, const QcRecord &energyRecord,
                    const std::string &file, const ElectronicState &state);

} // namespace orvalen::qc
