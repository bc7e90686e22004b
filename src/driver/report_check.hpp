#pragma once

// The finished report read back: values that are not finite (NaN, Infinity,
// -Infinity, or Inf in a narrow field) anywhere before the tunnelling lines
// mean that the numbers of the report cannot be used. The tunnelling lines are
// not looked at: without a transition state they are not meaningful.

#include "base/warnings.hpp"

#include <istream>
#include <string>

namespace orvalen {

// One warning per report section (a molecule's section, the reaction section,
// the rate constant section, the effective rate constant lines) that shows a
// value that is not finite, naming the section, the quantities and the lines;
// each makes the report unsound. `reportName` is the report as messages show it.
void checkReport(std::istream &report, const std::string &reportName, Warnings &warnings);

} // namespace orvalen
