#pragma once

// The job input file: comment lines ("!"), COND (temperature and pressure),
// KEFF (concentration and exponent of the effective rate constant) and one
// REACT, PROD or TS line per molecule with its name, data file and overrides.
// A blank line ends the job input.

#include "base/warnings.hpp"
#include "fixedio/text_file.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"

namespace orvalen {

inline constexpr int MAX_JOB_LINE_WORDS = 20; // words of a molecule or KEFF line
inline constexpr std::size_t KEFF_FIELD = 20; // width of the G20.10 and I20 reads

// Reads the job input from its current line to its end or to the first blank
// line, updating the conditions and entering the molecules into the table in
// line order. A tab counts as a blank. Errors name the job file and the line:
// "<file> line <n>: ...". An option whose key is there without a number it
// could read (it then becomes 0), and a KEFF concentration that the implied
// decimal point changes, add a warning naming the line.
void readJobInput(LineFile &in, Conditions &cond, MoleculeTable &mol, Warnings &warnings);
// The same, the warnings dropped.
void readJobInput(LineFile &in, Conditions &cond, MoleculeTable &mol);

} // namespace orvalen
