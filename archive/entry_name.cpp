#include "archive/entry_name.h"

#include <algorithm>

namespace morvane {
namespace {

std::string_view up_to_nul(std::string_view s) { return s.substr(0, s.find('\0')); }

// Separators become '_', and only a to z change case (the "C" locale's toupper), so that the
// outcome never depends on the environment's locale.
char fold(char c) {
  if (c == '\\' || c == '/') return '_';
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

}  // namespace

bool entry_names_match(std::string_view stored, std::string_view wanted) {
  stored = up_to_nul(stored);
  wanted = up_to_nul(wanted);
  return std::equal(stored.begin(), stored.end(), wanted.begin(), wanted.end(),
                    [](char a, char b) { return fold(a) == fold(b); });
}

}  // namespace morvane
