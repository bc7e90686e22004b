#pragma once

// A job as every program reads it: the job input, then each molecule's data
// file (looked up beside the job input; roles in the order reactants,
// products, transition states), then the checks of the molecules. Loading
// writes no output; it creates a missing input file empty only where the
// program's policy says so, e.g.
//   Warnings w;
//   Job job = loadJob("oh_ch4.inp", MissingFiles::Refuse, w);
//   // job.mol.at(REACTANT, 1) holds OH with its data file read

#include "base/warnings.hpp"
#include "molecule/conditions.hpp"
#include "molecule/molecule.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace orvalen {

// What a missing input file means. orvalen creates a missing job input or data
// file empty and computes on (the report then says what it could); a scan
// would only fill its columns with NaN, so it refuses them.
enum class MissingFiles { CreateEmpty, Refuse };

struct Job {
  std::string inputFile; // the job input as opened
  Conditions cond;
  MoleculeTable mol;
};

// Creates a missing job input empty, but not in a folder that does not exist:
// that is a mistyped path, an input that is missing (orvalen::Error).
void ensureJobInput(const std::string &inputFile);

// Reads the job input `inputFile` (its extension already given) and every data
// file it names, then checks the molecules. Throws orvalen::Error for the first
// error, naming the file and line; the warnings found until then stay in
// `warnings`. `read`, when given, receives every file looked up (the job input,
// then each data file), also when an error stops the loading: the files no
// output of the run may replace.
Job loadJob(const std::string &inputFile, MissingFiles missing, Warnings &warnings,
            std::vector<std::filesystem::path> *read = nullptr);

} // namespace orvalen
