#include "driver/banner.hpp"

#include "base/error.hpp"
#include "fixedio/text_file.hpp"

#include <fstream>

namespace orvalen {

namespace fs = std::filesystem;

int buildNumber(const BuildStamp &stamp) {
  int nBuild = BUILT_NUMBER;
  std::error_code ec;
  if (stamp.object.empty() || !fs::exists(stamp.object, ec))
    return nBuild;
  if (stamp.include.empty() || !fs::exists(stamp.include, ec))
    return nBuild;
  int stored = 0;
  {
    LineFile include(stamp.include, stamp.include.string());
    fixedio::read("(10x,i6)", include.readLine(), &stored);
  }
  if (stored != nBuild)
    return nBuild;
  nBuild = nBuild + 1;
  {
    std::ofstream rewrite(stamp.include, std::ios::trunc);
    fixedio::Writer(rewrite).write("('nBuild   =',i6)", nBuild);
    if (!rewrite)
      throw Error(stamp.include.string() + ": cannot rewrite the build-stamp file");
  }
  fs::remove(stamp.object, ec);
  return nBuild;
}

void printTitle(fixedio::Writer &out, int nBuild) {
  out.write("(13x,'*******************************************************'/"
            "13x,'*                   Orvalen v.0.1                     *'/"
            "13x,'*               (build number',i6,')                  *'/"
            "13x,'*                                                     *'/"
            "13x,'*        Transition State Theory calculations         *'/"
            "13x,'*                                                     *'/"
            "13x,'* RRHO thermochemistry of reactants, products and TS  *'/"
            "13x,'*    Reaction and activation energies, enthalpies,    *'/"
            "13x,'*            entropies and Gibbs energies             *'/"
            "13x,'*  Rate constants kQ and kG, effective rate constant  *'/"
            "13x,'*   Wigner, parabolic and Skodje-Truhlar tunnelling   *'/"
            "13x,'*                     C++ edition                     *'/"
            "13x,'*******************************************************'//)",
            nBuild);
}

} // namespace orvalen
