// Text replacement shared by the script text of a formula and the regression equation.
#pragma once

#include <string>
#include <string_view>

namespace linoveta {

// Replaces every occurrence of `from` in `s` by `to`, left to right, not re-reading replaced
// text.
void ReplaceAll(std::string& s, std::string_view from, std::string_view to);

}  // namespace linoveta
