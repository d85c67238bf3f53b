#pragma once
// The user's request to quit (window closed, Escape): an exception without a message that
// leaves the frame loop from inside a present and ends the program silently.
#include <exception>

namespace morvane {

class Close : public std::exception {
 public:
  const char* what() const noexcept override { return "Close"; }
};

}  // namespace morvane
