#include "base/wording.hpp"

namespace orvalen {

std::string listed(std::span<const std::string> items, std::string_view last,
                   std::string_view between) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i != 0)
      text += i + 1 == items.size() ? last : between;
    text += items[i];
  }
  return text;
}

} // namespace orvalen
