#include "scan/tunnelling_methods.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvalen::scan {

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

namespace {

std::string joined(const std::vector<const char *> &words, std::string_view separator,
                   std::string_view last) {
  std::string s;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0)
      s += i + 1 == words.size() ? last : separator;
    s += words[i];
  }
  return s;
}

} // namespace

std::string offeredNames(std::string_view separator, std::string_view last) {
  std::vector<const char *> names;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.offered)
      names.push_back(m.name);
  return joined(names, separator, last);
}

std::string coefficientLabels(std::string_view separator, std::string_view last) {
  std::vector<const char *> labels;
  for (const TunnellingMethod &m : TUNNELLING_METHODS)
    if (m.label)
      labels.push_back(m.label);
  return joined(labels, separator, last);
}

} // namespace orvalen::scan
