#include "demo_parts/lightmap/light_map_kernels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "demo_parts/half_blend.h"

namespace morvane {

void blur_light_map(LightMapBuffer map) {
  std::uint8_t* visible = map.data() + kLightMapMargin;
  // Per row, the three neighbours that are already final (the right one and the row below still
  // old, the row above already blurred) are summed in one independent sweep; only the left
  // neighbour chains from pixel to pixel.
  std::array<std::uint16_t, kFrameWidth> partial;
  for (int row = 0; row < kFrameHeight; ++row) {
    std::uint8_t* p = visible + row * kFrameWidth;
    for (int x = 0; x < kFrameWidth; ++x) {
      partial[static_cast<std::size_t>(x)] =
          static_cast<std::uint16_t>(p[x + 1] + p[x + kFrameWidth] + p[x - kFrameWidth]);
    }
    unsigned left = p[-1];
    for (int x = 0; x < kFrameWidth; ++x) {
      left = (left + partial[static_cast<std::size_t>(x)]) >> 2;
      p[x] = static_cast<std::uint8_t>(left);
    }
  }
}

namespace {

constexpr double kWidth = kFrameWidth;
constexpr double kHeight = kFrameHeight;

void wrap_once(double& row, double& column) {
  if (row < 0) row += kHeight;
  if (row > kHeight - 1) row -= kHeight;
  if (column < 0) column += kWidth;
  if (column > kWidth - 1) column -= kWidth;
}

}  // namespace

void build_warp_table(double angle, double scale, WarpTable table) {
  const double p = scale * std::cos(angle);
  const double q = scale * std::sin(angle);
  std::uint16_t* out = table.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x, ++out) {
      const int dx = x - 160;
      const int dy = y - 100;
      double row = dy * p + dx * q + 100;
      double column = dx * p - dy * q + 160;
      // A source just inside the last row or column (199..200, 319..320) wraps back and forth
      // and ends outside: it reads pixel 0.
      wrap_once(row, column);
      wrap_once(row, column);
      if (!(column >= 0 && column < kWidth && row >= 0 && row < kHeight)) {
        *out = 0;
        continue;
      }
      *out = static_cast<std::uint16_t>(static_cast<int>(std::floor(column + 0.5)) +
                                        kFrameWidth * static_cast<int>(std::floor(row + 0.5)));
    }
  }
}

void warp_light_map(ConstLightView from, LightView to, ConstWarpTable table) {
  const std::uint8_t* source = from.data();
  const std::uint16_t* index = table.data();
  std::uint8_t* out = to.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = source[index[i]];
}

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


// Every lane's level: one less (stopping at 0), divided by 4, kept to 6 bits. The shift brings
// each lane's next lane's low bits down; the mask drops them.
std::uint32_t decayed(std::uint32_t sum) { return (decrement_lanes(sum) >> 2) & 0x3F3F3F3Fu; }

// The groups from `p` on, in order, each lane's left neighbour in the first lane being the
// previous group's last new byte. Returns this run's last new byte.
std::uint32_t decay_groups_in_order(std::uint8_t* p, std::uint8_t* o, int groups, std::uint32_t previous) {
  for (int group = 0; group < groups; ++group, p += 4, o += 4) {
    const std::uint32_t left = (load_word(p) << 8) | previous;
    const std::uint32_t level = decayed(left + load_word(p + 1) + load_word(p + kFrameWidth) + load_word(p - kFrameWidth));
    const std::uint32_t shown = decrement_lanes(level);
    std::memcpy(p, &level, sizeof level);
    std::memcpy(o, &shown, sizeof shown);
    previous = level >> 24;
  }
  return previous;
}

constexpr int kRowGroups = kFrameWidth / 4;

// One row's 80 groups (columns 1..319 and the next row's column 0) at once. The row above is
// already new, everything at and after `p` still old, so only the previous group's last new
// byte links one group to the next. That byte is at most 63 and enters the first lane: unless
// adding it to that lane's sum of the three other neighbours could carry into the next lane,
// the group's last new byte does not depend on it, and the chain falls away. The rows the rays
// draw (levels up to 63) always take this way; the others go group by group. Returns the last
// new byte. The two maps never overlap: with that said (restrict, which the compilers this
// builds with all accept) the loops run in vector lanes.
std::uint32_t decay_row(std::uint8_t* __restrict p, std::uint8_t* __restrict o, std::uint32_t previous) {
  std::array<std::uint32_t, kRowGroups> others;  // all but the first lane's left neighbour
  std::uint32_t carries = 0;
  for (std::size_t g = 0; g < kRowGroups; ++g) {
    const std::uint8_t* q = p + 4 * g;
    others[g] = (load_word(q) << 8) + load_word(q + 1) + load_word(q + kFrameWidth) + load_word(q - kFrameWidth);
    carries |= (others[g] & 0xFFu) + 63;
  }
  if ((carries & 0x100u) != 0) return decay_groups_in_order(p, o, kRowGroups, previous);

  // last[g]: the new byte before group g.
  std::array<std::uint32_t, kRowGroups + 1> last;
  last[0] = previous;
  for (std::size_t g = 0; g < kRowGroups; ++g) {
    const std::uint32_t top = others[g] >> 24;  // the last lane, decayed on its own
    last[g + 1] = (top - (top != 0 ? 1 : 0)) >> 2;
  }
  for (std::size_t g = 0; g < kRowGroups; ++g) {
    const std::uint32_t level = decayed(others[g] + last[g]);
    const std::uint32_t shown = decrement_lanes(level);
    std::memcpy(p + 4 * g, &level, sizeof level);
    std::memcpy(o + 4 * g, &shown, sizeof shown);
  }
  return last[kRowGroups];
}

}  // namespace

void decay_light_map(LightMapBuffer current, LightMapBuffer other) {
  std::uint8_t* c = current.data() + kLightMapMargin;
  std::uint8_t* o = other.data() + kLightMapMargin;
  std::fill_n(c, kClearBytes, std::uint8_t{0});
  std::fill_n(c + kLowerClear, kClearBytes, std::uint8_t{0});

  // Rows 1..197 from column 1 to the next row's column 0, then row 198 a group short (up to
  // column 316).
  static_assert(kDecayGroups == (kFrameHeight - 2) * kRowGroups - 1);
  constexpr int kLastRow = kFrameHeight - 2;
  std::uint32_t previous = c[kDecayFirst - 1];
  for (int row = 1; row < kLastRow; ++row) {
    const int at = row * kFrameWidth + 1;
    previous = decay_row(c + at, o + at, previous);
  }
  const int at = kLastRow * kFrameWidth + 1;
  decay_groups_in_order(c + at, o + at, kRowGroups - 1, previous);
}

namespace {

constexpr int kTopLevel = kLightShadeLevels - 1;

int level_of(std::uint8_t light) { return light > kTopLevel ? kTopLevel : light; }

}  // namespace

void shade_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture) {
  const Rgb565* table = shade.data();
  const std::uint8_t* level = light.data();
  const std::uint8_t* colour = picture.data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = table[level_of(level[i]) * 256 + colour[i]];
}

void blend_shaded_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture) {
  const Rgb565* table = shade.data();
  const std::uint8_t* level = light.data();
  const std::uint8_t* colour = picture.data();
  Rgb565* out = frame.data();
  for (int i = 0; i < kFramePixels; ++i) {
    const Rgb565 shaded = table[level_of(level[i]) * 256 + colour[i]];
    out[i] = static_cast<Rgb565>(half_pixel(shaded) + half_pixel(out[i]));
  }
}

namespace {

// The frame and the light map never overlap; restrict says so, and the loop runs in vector lanes.
void grey_pixels(Rgb565* __restrict out, const std::uint8_t* __restrict level) {
  for (int i = 0; i < kFramePixels; ++i) out[i] = grey_pixel(level[i]);
}

}  // namespace

void grey_light_map(FrameView frame, ConstLightView light) { grey_pixels(frame.data(), light.data()); }

}  // namespace morvane
