#pragma once

// How each section of the report begins, as the finished report shows it. The
// writers print these texts (thermo_report.cpp, rates/reaction.cpp,
// rates/kinetics.cpp, rates/tunnelling.cpp) and the read-back check of a
// finished report (driver/report_check.cpp) finds the sections by them, so both
// take them from here; the writers' format texts are checked against them at
// compile time. The spelling is the report's own ("coeeficient") and is fixed.

#include <string_view>

namespace orvalen {

inline constexpr std::string_view MOLECULE_HEADING = " ************* TD properties of molecule ";
// Section titles are written "(//,1x,255a1)": one blank before the title text.
inline constexpr std::string_view REACTION_TITLE = " Thermodynamic functions for the reaction";
inline constexpr std::string_view RATE_TITLE = " Kinetic parameters for the reaction";
inline constexpr std::string_view EFFECTIVE_RATE_HEADING = " Effective rate constant";
inline constexpr std::string_view TUNNELLING_HEADING = " Transmission coeeficient";

// True when a format text writes `heading` as (the start of) a quoted literal.
constexpr bool writesHeading(std::string_view format, std::string_view heading) {
  const auto at = format.find(heading);
  return at != std::string_view::npos && at > 0 && format[at - 1] == '\'';
}

} // namespace orvalen
