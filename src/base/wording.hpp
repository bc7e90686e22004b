#pragma once

// Words of messages that several programs build the same way.

#include <span>
#include <string>
#include <string_view>

namespace orvalen {

// The items as a reader writes a list: "a", "a and b", "a, b and c". `last`
// joins the last two ("or" lists: " or ").
std::string listed(std::span<const std::string> items, std::string_view last = " and ",
                   std::string_view between = ", ");

} // namespace orvalen
