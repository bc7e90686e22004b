#include "base/version.hpp"

#include "orvalen_version.hpp"

namespace orvalen {

std::string versionText(std::string_view program, std::optional<int> build) {
  std::string text = std::string(program) + " " + std::string(VERSION);
  if (build)
    text += " (build " + std::to_string(*build) + ")";
  return text;
}

} // namespace orvalen
