#pragma once

// The --version line of every program.

#include <optional>
#include <string>
#include <string_view>

namespace orvalen {

// "<program> <release>", followed by " (build N)" when a build number is
// given: "Orvalen 0.1 (build 347)", "orvalen-import 0.1". The release comes
// from the generated orvalen_version.hpp; the program prints the line and a
// line feed.
std::string versionText(std::string_view program, std::optional<int> build = std::nullopt);

} // namespace orvalen
