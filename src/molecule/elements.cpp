#include "molecule/elements.hpp"

#include "base/error.hpp"

#include <array>
#include <cctype>
#include <string>

namespace orvalen {

namespace {

struct Element {
  std::string_view symbol;
  double mass; // amu, most abundant isotope (mass number in the comment)
};

// Atomic masses of the nuclides from the 2016 atomic mass evaluation.
constexpr std::array<Element, MAX_ELEMENT + 1> ELEMENTS = {{
    {"", 0.0},
    {"H", 1.00782503223},   // 1
    {"He", 4.00260325413},  // 4
    {"Li", 7.0160034366},   // 7
    {"Be", 9.012183065},    // 9
    {"B", 11.00930536},     // 11
    {"C", 12.0},            // 12
    {"N", 14.00307400443},  // 14
    {"O", 15.99491461957},  // 16
    {"F", 18.99840316273},  // 19
    {"Ne", 19.9924401762},  // 20
    {"Na", 22.9897692820},  // 23
    {"Mg", 23.985041697},   // 24
    {"Al", 26.98153853},    // 27
    {"Si", 27.97692653465}, // 28
    {"P", 30.97376199842},  // 31
    {"S", 31.9720711744},   // 32
    {"Cl", 34.968852682},   // 35
    {"Ar", 39.9623831237},  // 40
    {"K", 38.9637064864},   // 39
    {"Ca", 39.962590863},   // 40
    {"Sc", 44.95590828},    // 45
    {"Ti", 47.94794198},    // 48
    {"V", 50.94395704},     // 51
    {"Cr", 51.94050623},    // 52
    {"Mn", 54.93804391},    // 55
    {"Fe", 55.93493633},    // 56
    {"Co", 58.93319429},    // 59
    {"Ni", 57.93534241},    // 58
    {"Cu", 62.92959772},    // 63
    {"Zn", 63.92914201},    // 64
    {"Ga", 68.9255735},     // 69
    {"Ge", 73.921177761},   // 74
    {"As", 74.92159457},    // 75
    {"Se", 79.9165218},     // 80
    {"Br", 78.9183376},     // 79
    {"Kr", 83.9114977282},  // 84
    {"Rb", 84.9117897379},  // 85
    {"Sr", 87.9056125},     // 88
    {"Y", 88.9058403},      // 89
    {"Zr", 89.9046977},     // 90
    {"Nb", 92.906373},      // 93
    {"Mo", 97.90540482},    // 98
    {"Tc", 97.9072124},     // 98
    {"Ru", 101.9043441},    // 102
    {"Rh", 102.905498},     // 103
    {"Pd", 105.9034804},    // 106
    {"Ag", 106.9050916},    // 107
    {"Cd", 113.90336509},   // 114
    {"In", 114.903878776},  // 115
    {"Sn", 119.90220163},   // 120
    {"Sb", 120.903812},     // 121
    {"Te", 129.906222748},  // 130
    {"I", 126.9044719},     // 127
    {"Xe", 131.9041550856}, // 132
    {"Cs", 132.905451961},  // 133
    {"Ba", 137.905247},     // 138
    {"La", 138.9063563},    // 139
    {"Ce", 139.9054431},    // 140
    {"Pr", 140.9076576},    // 141
    {"Nd", 141.907729},     // 142
    {"Pm", 144.9127559},    // 145
    {"Sm", 151.9197397},    // 152
    {"Eu", 152.921238},     // 153
    {"Gd", 157.9241123},    // 158
    {"Tb", 158.9253547},    // 159
    {"Dy", 163.9291819},    // 164
    {"Ho", 164.9303288},    // 165
    {"Er", 165.9302995},    // 166
    {"Tm", 168.9342179},    // 169
    {"Yb", 173.9388664},    // 174
    {"Lu", 174.9407752},    // 175
    {"Hf", 179.946557},     // 180
    {"Ta", 180.9479958},    // 181
    {"W", 183.95093092},    // 184
    {"Re", 186.9557501},    // 187
    {"Os", 191.961477},     // 192
    {"Ir", 192.9629216},    // 193
    {"Pt", 194.9647917},    // 195
    {"Au", 196.96656879},   // 197
    {"Hg", 201.9706434},    // 202
    {"Tl", 204.9744278},    // 205
    {"Pb", 207.9766525},    // 208
    {"Bi", 208.9803991},    // 209
    {"Po", 208.9824308},    // 209
    {"At", 209.9871479},    // 210
    {"Rn", 222.0175782},    // 222
}};

} // namespace

std::string_view elementSymbol(int atomicNumber) {
  if (atomicNumber < 1 || atomicNumber > MAX_ELEMENT)
    return {};
  return ELEMENTS[static_cast<std::size_t>(atomicNumber)].symbol;
}

double isotopeMass(int atomicNumber) {
  if (atomicNumber < 1 || atomicNumber > MAX_ELEMENT)
    throw Error("atomic number " + std::to_string(atomicNumber) +
                ": no isotope mass known (elements H to Rn)");
  return ELEMENTS[static_cast<std::size_t>(atomicNumber)].mass;
}

std::optional<int> atomicNumberOf(std::string_view symbol) {
  if (symbol.empty() || symbol.size() > 2)
    return std::nullopt;
  std::string s;
  s += static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
  if (symbol.size() == 2)
    s += static_cast<char>(std::tolower(static_cast<unsigned char>(symbol[1])));
  for (int z = 1; z <= MAX_ELEMENT; ++z)
    if (ELEMENTS[static_cast<std::size_t>(z)].symbol == s)
      return z;
  return std::nullopt;
}

} // namespace orvalen
