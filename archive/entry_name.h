#pragma once
// How a wanted name matches an entry name: letter case and the kind of path separator do not
// count ("a\b", "A/B" and "a_b" are one name). Both names end at their first NUL byte.
#include <string_view>

namespace morvane {

bool entry_names_match(std::string_view stored, std::string_view wanted);

}  // namespace morvane
