#include "input/job_loader.hpp"

#include "base/error.hpp"
#include "fixedio/text_file.hpp"
#include "input/job_input.hpp"
#include "molecule/mol_checks.hpp"
#include "molecule/mol_file.hpp"

#include <filesystem>

namespace orvalen {

namespace fs = std::filesystem;

namespace {

// A data file that neither spelling finds stops a run that refuses missing
// files, before anything is created. A data file in a missing folder is left
// to the reader, whose message says so.
void requireDataFile(const Molecule &m, const fs::path &jobDir) {
  const std::string upper = trimmed(m.fileName);
  const std::string asWritten = m.fileNameAsWritten.empty() ? upper : trimmed(m.fileNameAsWritten);
  if (asWritten.empty())
    return; // the reader reports the molecule without a data file
  std::error_code ec;
  if (fs::exists(jobDir / asWritten, ec) || (!upper.empty() && fs::exists(jobDir / upper, ec)))
    return;
  const fs::path folder = (jobDir / asWritten).parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec))
    return;
  throw Error("molecule " + trimmed(m.name) + ": data file " + asWritten + " not found" +
              (jobDir.empty() ? std::string() : " in " + jobDir.string()));
}

} // namespace

void ensureJobInput(const std::string &inputFile) {
  const fs::path path(inputFile);
  std::error_code ec;
  if (!fs::exists(path, ec) && !path.parent_path().empty() &&
      !fs::is_directory(path.parent_path(), ec))
    throw Error(inputFile + ": the job input is missing: its folder " +
                path.parent_path().string() + " does not exist");
  ensureFile(path, inputFile);
}

Job loadJob(const std::string &inputFile, MissingFiles missing, Warnings &warnings,
            std::vector<fs::path> *read) {
  if (missing == MissingFiles::CreateEmpty) {
    ensureJobInput(inputFile);
  } else {
    std::error_code ec;
    if (!fs::exists(inputFile, ec))
      throw Error(inputFile + ": no such job input file");
    ensureFile(inputFile, inputFile); // refuses a directory, a device or a pipe
  }
  if (read)
    read->emplace_back(inputFile);
  Job job;
  job.inputFile = inputFile;
  {
    LineFile input(inputFile, inputFile);
    readJobInput(input, job.cond, job.mol, warnings);
  }

  const fs::path jobDir = fs::path(job.inputFile).parent_path();
  for (int role = REACTANT; role <= TRANSITION_STATE; ++role)
    for (int j = 1; j <= job.mol.npart(role); ++j) {
      Molecule &m = job.mol.at(role, j);
      if (missing == MissingFiles::Refuse)
        requireDataFile(m, jobDir);
      try {
        readMoleculeFile(m, jobDir, warnings);
      } catch (const Error &) {
        if (read && !m.dataPath.empty())
          read->push_back(m.dataPath);
        throw;
      }
      if (read)
        read->push_back(m.dataPath);
    }
  checkMolecules(job.mol, warnings);
  return job;
}

} // namespace orvalen
