#include "demo_parts/lightmap/light_decay.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace morvane {
namespace {

// The byte lanes of the sums assume the first byte of a word is its lowest lane.
static_assert(std::endian::native == std::endian::little);

constexpr int kLowerClear = kFramePixels - kFrameWidth;  // row 199 and the first margin row
constexpr int kClearBytes = 2 * kFrameWidth;

std::uint32_t load_word(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// 1 in every byte lane that is not 0: bit 7 of (low seven bits + 0x7F) is set exactly when
// those bits are not all 0, and no lane carries into the next.
std::uint32_t nonzero_lanes(std::uint32_t word) {
  return ((((word & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | word) >> 7) & 0x01010101u;
}

// Every lane one less, stopping at 0; no lane borrows since each is at least its own 1.
std::uint32_t decrement_lanes(std::uint32_t word) { return word - nonzero_lanes(word); }

}  // namespace

void decay_light_map(LightMapBuffer current, LightMapBuffer other) {
  std::uint8_t* c = current.data() + kLightMapMargin;
  std::uint8_t* o = other.data() + kLightMapMargin;
  std::fill_n(c, kClearBytes, std::uint8_t{0});
  std::fill_n(c + kLowerClear, kClearBytes, std::uint8_t{0});

  // The byte before each group is the previous group's last new byte, kept in a register.
  std::uint32_t previous = c[kDecayFirst - 1];
  for (int group = 0; group < kDecayGroups; ++group) {
    std::uint8_t* p = c + kDecayFirst + 4 * group;
    const std::uint32_t left = (load_word(p) << 8) | previous;
    const std::uint32_t sum = left + load_word(p + 1) + load_word(p + kFrameWidth) + load_word(p - kFrameWidth);
    // The shift brings each lane's next lane's low bits down; the mask drops them.
    const std::uint32_t level = (decrement_lanes(sum) >> 2) & 0x3F3F3F3Fu;
    const std::uint32_t shown = decrement_lanes(level);
    std::memcpy(p, &level, sizeof level);
    std::memcpy(o + kDecayFirst + 4 * group, &shown, sizeof shown);
    previous = level >> 24;
  }
}

}  // namespace morvane
