#include "molecule/molecule.hpp"

#include "base/error.hpp"

#include <string>

namespace orvalen {

std::string fixedText(std::string_view text, std::size_t n) {
  std::string s(text.substr(0, n));
  s.resize(n, ' ');
  return s;
}

std::string trimmed(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

// INITMOL: every entry waits for the job line and the data file to give
// MULT, ROTNUM and ETOT; everything else starts at zero or blank.
MoleculeTable::MoleculeTable() : mol_(std::size_t{3} * MAX_PER_ROLE) {
  for (Molecule &m : mol_) {
    m.mult = NOT_GIVEN;
    m.rotnum = NOT_GIVEN;
    m.etot = NOT_GIVEN_REAL;
  }
}

namespace {

// MOL(role, j) in the table's one vector, roles one after the other.
std::size_t slot(int role, int j) {
  return static_cast<std::size_t>(role - 1) * MAX_PER_ROLE + static_cast<std::size_t>(j - 1);
}

void checkIndex(int role, int j) {
  if (role < 1 || role > 3 || j < 1 || j > MAX_PER_ROLE)
    throw Error("MOL(" + std::to_string(role) + ", " + std::to_string(j) +
                "): molecule index out of range (at most " + std::to_string(MAX_PER_ROLE) +
                " molecules per role)");
}

} // namespace

Molecule &MoleculeTable::at(int role, int j) {
  checkIndex(role, j);
  return mol_[slot(role, j)];
}

const Molecule &MoleculeTable::at(int role, int j) const {
  checkIndex(role, j);
  return mol_[slot(role, j)];
}

int MoleculeTable::npart(int role) const {
  if (role < 0 || role > 3)
    throw Error("NPART(" + std::to_string(role) + "): role index out of range");
  return npart_[static_cast<std::size_t>(role)];
}

int MoleculeTable::add(int role) {
  static constexpr const char *roleWord[] = {"", "reactants", "products", "transition states"};
  const int j = npart(role) + 1;
  if (role < 1 || j > MAX_PER_ROLE)
    throw Error("MOL(" + std::to_string(role) + ", " + std::to_string(j) + "): more than " +
                std::to_string(MAX_PER_ROLE) + " " + roleWord[role < 1 ? 0 : role] + " in the job");
  npart_[static_cast<std::size_t>(role)] = j;
  ++npart_[0];
  return j;
}

} // namespace orvalen
