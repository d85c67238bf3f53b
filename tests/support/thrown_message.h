#pragma once
// The message a call throws, for tests that compare whole messages; "" when it does not throw.
#include <stdexcept>
#include <string>

namespace morvane::test {

template <class F>
std::string message_of(F&& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

}  // namespace morvane::test
