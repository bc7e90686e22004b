#pragma once

// The tunnelling coefficients of a scan, one constant row each: the word
// --tunnelling takes, the texts the table, CSV, JSON and plot show, the
// plot's curve, and where a point keeps the coefficient. Parsing, the help
// text, the choice of k's coefficient, the coefficient columns and the
// plot's curves all read TUNNELLING_METHODS; a new coefficient is a value of
// Method, a member of Kappas and a row here, and its computation in kinetics/job_points.cpp.

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace orvalen::kinetics {

// Tunnelling coefficients where they are meaningful (absent elsewhere).
struct Kappas {
  std::optional<double> wigner;
  std::optional<double> parabolic;     // only where h nu / kT < 2 pi
  std::optional<double> skodjeTruhlar; // the one that applies (kST of the report)
  std::optional<double> eckart;
};

// The coefficient that multiplies kQ in k, the fit and the plot (any but Parabolic).
enum class Method { None, Wigner, Parabolic, SkodjeTruhlar, Eckart };

struct TunnellingMethod {
  Method id;
  const char *name;    // as --tunnelling takes it and the outputs name the choice of k
  bool offered;        // --tunnelling takes it
  const char *label;   // "kappa <label>" in the CSV; nullptr: no coefficient column (kQ itself)
  const char *heading; // the terminal table's, at most 11 characters; nullptr: the label
  const char *legend;  // the plot's legend
  const char *colour;  // the plot's curve
  const char *dash;    // SVG dash pattern of the curve; "" for a solid line
  std::optional<double> (*coefficient)(const Kappas &);
};

// In the order of the columns and of the plot's curves.
inline constexpr TunnellingMethod TUNNELLING_METHODS[] = {
    {.id = Method::None,
     .name = "none",
     .offered = true,
     .label = nullptr,
     .heading = nullptr,
     .legend = "kQ, no tunnelling",
     .colour = "#222222",
     .dash = "",
     .coefficient = [](const Kappas &) -> std::optional<double> { return 1.0; }},
    {.id = Method::Wigner,
     .name = "wigner",
     .offered = true,
     .label = "Wigner",
     .heading = "Wigner",
     .legend = "kQ \u00d7 Wigner",
     .colour = "#1f77b4",
     .dash = "",
     .coefficient = [](const Kappas &k) { return k.wigner; }},
    // Not offered for k: absent at low temperature, where the parabola's integral diverges.
    {.id = Method::Parabolic,
     .name = "parabolic",
     .offered = false,
     .label = "parabolic",
     .heading = "parabolic",
     .legend = "kQ \u00d7 parabolic",
     .colour = "#ff7f0e",
     .dash = "",
     .coefficient = [](const Kappas &k) { return k.parabolic; }},
    {.id = Method::SkodjeTruhlar,
     .name = "skodje-truhlar",
     .offered = true,
     .label = "Skodje-Truhlar",
     .heading = "Sk.-Truhlar",
     .legend = "kQ \u00d7 Skodje-Truhlar",
     .colour = "#2ca02c",
     .dash = "",
     .coefficient = [](const Kappas &k) { return k.skodjeTruhlar; }},
    {.id = Method::Eckart,
     .name = "eckart",
     .offered = true,
     .label = "Eckart",
     .heading = "Eckart",
     .legend = "kQ \u00d7 Eckart",
     .colour = "#d62728",
     .dash = "",
     .coefficient = [](const Kappas &k) { return k.eckart; }},
};

// Row i describes the method of value i, so that a method finds its row by index.
consteval bool rowsInEnumOrder() {
  for (std::size_t i = 0; i < std::size(TUNNELLING_METHODS); ++i)
    if (static_cast<std::size_t>(TUNNELLING_METHODS[i].id) != i)
      return false;
  return true;
}
static_assert(rowsInEnumOrder(), "TUNNELLING_METHODS: row i must describe Method value i");

const TunnellingMethod &methodOf(Method method);
// The offered method named `word` in any case ("eckart", "Eckart"); false for any other word.
bool parseMethod(std::string_view word, Method &method);
const char *methodName(Method method);

// The JSON key of a coefficient: its name with '_' for '-' ("skodje_truhlar").
std::string jsonKey(const TunnellingMethod &m);

// The names --tunnelling takes, in table order, joined by `separator` and
// the last by `last`: "none, wigner, skodje-truhlar or eckart".
std::string offeredNames(std::string_view separator, std::string_view last);
// The labels of the coefficient columns joined the same way:
// "Wigner, parabolic, Skodje-Truhlar and Eckart".
std::string coefficientLabels(std::string_view separator, std::string_view last);

} // namespace orvalen::kinetics
