#include "demo_parts/opening/glow.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace morvane {
namespace {

// The blur and its byte lanes assume the first byte of a word is its lowest lane.
static_assert(std::endian::native == std::endian::little);

constexpr int kBlurStart = kFrameWidth + 1;
constexpr int kBlurGroups = 15839;

std::uint32_t load_word(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace

void draw_glow_bar(GlowView glow, int x, int width) {
  const int first = std::max(x, 0);
  const int end = std::min(x + width, kFrameWidth);
  if (first >= end) return;
  for (int row = kGlowBarTop; row < kGlowBarTop + kGlowBarRows; ++row) {
    std::fill(glow.begin() + row * kFrameWidth + first, glow.begin() + row * kFrameWidth + end,
              std::uint8_t{kGlowMax});
  }
}

void stamp_sprite(GlowView glow, SpriteView sprite, int x, int y) {
  for (int r = 0; r < kStampSide; ++r) {
    std::uint8_t* target = glow.data() + (y + r) * kFrameWidth + x;
    const std::uint8_t* source = sprite.data() + r * kSpriteSide;
    for (int c = 0; c < kStampSide; ++c) {
      const int sum = target[c] + source[c];
      target[c] = static_cast<std::uint8_t>(sum > kGlowMax ? kGlowMax : sum);
    }
  }
}

void fade_glow(GlowView glow) {
  for (std::uint8_t& g : glow) g = static_cast<std::uint8_t>(g - (g != 0));
}

void blur_glow(GlowView glow) {
  // Four byte lanes per 32-bit word: each lane holds at most 63, so the sum of four never
  // carries into the next lane, and the mask drops what the shift brings down from above.
  // The left neighbours are the group's own old bytes shifted up one lane, below the byte just
  // written by the previous group (kept in a register rather than read back from memory).
  std::uint8_t* base = glow.data();
  std::uint32_t previous = base[kBlurStart - 1];
  for (int group = 0; group < kBlurGroups; ++group) {
    std::uint8_t* p = base + kBlurStart + 4 * group;
    const std::uint32_t left = (load_word(p) << 8) | previous;
    const std::uint32_t sum = left + load_word(p + 1) + load_word(p + kFrameWidth) + load_word(p - kFrameWidth);
    const std::uint32_t average = (sum >> 2) & 0x3F3F3F3Fu;
    std::memcpy(p, &average, sizeof average);
    previous = average >> 24;
  }
}

}  // namespace morvane
