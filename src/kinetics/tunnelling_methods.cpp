#include "kinetics/tunnelling_methods.hpp"

#include "base/wording.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvalen::kinetics {

const TunnellingMethod &methodOf(Method method) {
  return TUNNELLING_METHODS[static_cast<std::size_t>(method)];
}

bool parseMethod(std::string_view word, Method &method) {
  std::string lower(word); // "Eckart", "ECKART": names are not case-sensitive
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.offered && lower == m.name) {
      method = m.id;
      return true;
    }
  return false;
}

const char *methodName(Method method) {
  return methodOf(method).name;
}

std::string jsonKey(const TunnellingMethod &m) {
  std::string key = m.name;
  std::replace(key.begin(), key.end(), '-', '_');
  return key;
}

std::string offeredNames(std::string_view separator, std::string_view last) {
  std::vector<std::string> names;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.offered)
      names.emplace_back(m.name);
  return listed(names, last, separator);
}

std::string coefficientLabels(std::string_view separator, std::string_view last) {
  std::vector<std::string> labels;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.label)
      labels.emplace_back(m.label);
  return listed(labels, last, separator);
}

} // namespace orvalen::kinetics
