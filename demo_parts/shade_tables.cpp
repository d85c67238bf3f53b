#include "demo_parts/shade_tables.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr Rgb565 pack(int r5, int g6, int b5) { return static_cast<Rgb565>(r5 << 11 | g6 << 5 | b5); }

// Entries in n levels.
constexpr std::size_t entries(int n) { return static_cast<std::size_t>(n) * kShadeLevelEntries; }

int level_count(std::span<Rgb565> levels) { return static_cast<int>(levels.size() / kShadeLevelEntries); }

// Calls entry(j, r, g, b) for every level j of the band and every palette colour, storing the
// result at j x 256 + c.
template <typename Entry>
void fill_band(PaletteView palette, std::span<Rgb565> levels, Entry entry) {
  const int count = level_count(levels);
  for (int j = 0; j < count; ++j) {
    Rgb565* const row = levels.data() + static_cast<std::size_t>(j) * kShadeLevelEntries;
    for (int c = 0; c < kShadeLevelEntries; ++c)
      row[c] = entry(j, int{palette[3 * c]}, int{palette[3 * c + 1]}, int{palette[3 * c + 2]});
  }
}

}  // namespace

// All band formulas divide non-negative integers, so integer division gives exactly the
// truncated real quotient.

void fill_black_band(std::span<Rgb565> levels) { std::fill(levels.begin(), levels.end(), Rgb565{0}); }

void fill_white_band(std::span<Rgb565> levels) { std::fill(levels.begin(), levels.end(), Rgb565{0xFFFF}); }

void fill_darkening_band(PaletteView palette, int steps, std::span<Rgb565> levels) {
  if (steps <= 0) return fill_black_band(levels);
  fill_band(palette, levels, [steps](int j, int r, int g, int b) {
    return pack(j * r / (8 * steps), j * g / (4 * steps), j * b / (8 * steps));
  });
}

void fill_lifting_band(PaletteView palette, int steps, std::span<Rgb565> levels) {
  if (steps <= 0) return fill_white_band(levels);
  fill_band(palette, levels, [steps](int j, int r, int g, int b) {
    const int low = j * 256 / steps;
    return pack(std::max(r, low) / 8, std::max(g, low) / 4, std::max(b, low) / 8);
  });
}

void fill_additive_band(PaletteView palette, std::span<Rgb565> levels) {
  fill_band(palette, levels, [](int j, int r, int g, int b) {
    // j / 2 + r / 8 as one real number is (4j + r) / 8.
    return pack(std::min(31, (4 * j + r) / 8), std::min(63, j + g / 4), std::min(31, (4 * j + b) / 8));
  });
}

void build_shade_table_256(PaletteView palette, std::span<Rgb565, 65536> table) {
  const std::span<Rgb565> t(table);
  fill_black_band(t.first(entries(128)));
  fill_darkening_band(palette, 64, t.subspan(entries(128), entries(64)));
  fill_lifting_band(palette, 64, t.subspan(entries(192), entries(64)));
}

void build_shade_table_128_additive(PaletteView palette, std::span<Rgb565, 32768> table) {
  const std::span<Rgb565> t(table);
  fill_darkening_band(palette, 64, t.first(entries(64)));
  fill_additive_band(palette, t.subspan(entries(64), entries(64)));
}

void build_shade_table_64(PaletteView palette, std::span<Rgb565, 16384> table) {
  const std::span<Rgb565> t(table);
  fill_darkening_band(palette, 32, t.first(entries(32)));
  fill_lifting_band(palette, 32, t.subspan(entries(32), entries(32)));
}

void build_shade_table_128_white(PaletteView palette, std::span<Rgb565, 32768> table) {
  const std::span<Rgb565> t(table);
  fill_additive_band(palette, t.first(entries(64)));
  fill_white_band(t.subspan(entries(64), entries(64)));
}

}  // namespace morvane
