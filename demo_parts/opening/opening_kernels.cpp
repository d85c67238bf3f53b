#include "demo_parts/opening/opening_kernels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "demo_parts/kernel_constants.h"

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

namespace {

constexpr int kStampRight = kFrameWidth - 8;   // columns 0..311
constexpr int kStampBottom = kFrameHeight - 8;  // rows 0..191

double dot(const std::array<double, 3>& row, const CloudPoint& p) { return row[0] * p.x + row[1] * p.y + row[2] * p.z; }

// trunc(value) as a coordinate in [0, limit), checked before the conversion so that any
// double, however large or NaN, is safe.
std::optional<int> stamp_coordinate(double value, int limit) {
  if (!(value > -1.0 && value < static_cast<double>(limit))) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

CloudTransform cloud_transform(float t, int point_count) {
  const float u = t * static_cast<float>(point_count);
  const double a1 = 2 * std::sin(u * kCloudSpinA);
  const double a2 = 2 * std::cos(u * kCloudSpinB);
  const double a3 = 2 * std::sin(u * kCloudSpinC);
  const double s1 = std::sin(a1), c1 = std::cos(a1);
  const double s2 = std::sin(a2), c2 = std::cos(a2);
  const double s3 = std::sin(a3), c3 = std::cos(a3);
  CloudTransform m;
  m.x_row = {s3 * s2 * s1 + c3 * c1, s3 * c2, c3 * s1 - s3 * s2 * c1};
  m.y_row = {c3 * s2 * s1 - s3 * c1, c3 * c2, -c3 * s2 * c1 - s3 * s1};
  m.depth_row = {-c2 * s1, s2, c2 * c1};
  m.offset = {50 * std::sin(t * kDegrees0_16713), 50 * std::cos(t * kDegrees0_17624),
              50 * std::sin(t * kDegrees0_15438)};
  return m;
}

std::optional<StampPosition> project_point(const CloudTransform& m, const CloudPoint& p) {
  const double depth = dot(m.depth_row, p) + m.offset[2];
  // A point exactly at depth 0 collapses onto the centre rather than dividing by zero.
  const double w = depth == 0.0 ? 0.0 : 256 / std::fabs(depth);
  const auto x = stamp_coordinate(w * (dot(m.x_row, p) + m.offset[0]) + 160, kStampRight);
  if (!x) return std::nullopt;
  const auto y = stamp_coordinate(w * (dot(m.y_row, p) + m.offset[1]) + 100, kStampBottom);
  if (!y) return std::nullopt;
  return StampPosition{*x, *y};
}

void stamp_cloud(GlowView glow, SpriteView sprite, std::span<const CloudPoint> points, const CloudTransform& m) {
  for (const CloudPoint& p : points) {
    if (const auto at = project_point(m, p)) stamp_sprite(glow, sprite, at->x, at->y);
  }
}

}  // namespace morvane
