#include "engine/demo_rand.h"

#include <cstdint>

namespace morvane {
namespace {
std::uint32_t state = 1;
}

int demo_rand() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

void reset_demo_rand() { state = 1; }

}  // namespace morvane
