#include "tools/standin/font.h"

#include <array>
#include <cmath>

namespace morvane::standin {

namespace {

struct Glyph {
  char code;
  std::array<const char*, kGlyphHeight> rows;
};

// Rows are drawn top to bottom; '#' is a set cell. Omitted trailing rows are blank.
constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
    {'c', {".....", ".....", ".###.", "#....", "#....", "#...#", ".###."}},
    {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'f', {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'h', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'j', {"...#.", ".....", "..##.", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#...#"}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'q', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'t', {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'y', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".....", ".##..", ".##..", "..#..", ".#..."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {'_', {".....", ".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
    {'*', {".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", "....."}},
};

const Glyph* find_glyph(char c) {
  for (const Glyph& g : kGlyphs)
    if (g.code == c) return &g;
  return nullptr;
}

// Share of the cell [i, i + 1) under a Gaussian of the given spread centred on u.
float cell_weight(float u, int i, float sigma) {
  const float k = 1.0f / (sigma * 1.41421356f);
  return 0.5f * (std::erf((u - static_cast<float>(i)) * k) - std::erf((u - static_cast<float>(i) - 1.0f) * k));
}

constexpr float kSpread = 0.42f;    // blur of the cells, in cells
constexpr float kThreshold = 0.42f;  // a little below half, so that diagonals join

}  // namespace

TextLayout::TextLayout(std::string_view text) {
  columns_ = static_cast<int>(text.size()) * kGlyphAdvance;
  cells_.assign(static_cast<std::size_t>(columns_) * kGlyphHeight, 0);
  for (std::size_t k = 0; k < text.size(); ++k) {
    const Glyph* g = find_glyph(text[k]);
    if (g == nullptr) continue;
    for (int row = 0; row < kGlyphHeight; ++row) {
      const char* bits = g->rows[row];
      if (bits == nullptr) continue;
      for (int col = 0; col < kGlyphWidth && bits[col] != '\0'; ++col)
        if (bits[col] == '#')
          cells_[static_cast<std::size_t>(row) * columns_ + static_cast<int>(k) * kGlyphAdvance + col] = 1;
    }
  }
}

float TextLayout::width_cells() const { return columns_ > 0 ? static_cast<float>(columns_ - 1) : 0.0f; }

bool TextLayout::on(int column, int row) const {
  if (column < 0 || row < 0 || column >= columns_ || row >= kGlyphHeight) return false;
  return cells_[static_cast<std::size_t>(row) * columns_ + column] != 0;
}

float TextLayout::field(float u, float v) const {
  const int cu = static_cast<int>(std::floor(u));
  const int cv = static_cast<int>(std::floor(v));
  // The blur reaches two cells at most; weights per column and per row are computed once.
  float column_weight[5];
  for (int k = 0; k < 5; ++k) column_weight[k] = cell_weight(u, cu - 2 + k, kSpread);
  float sum = 0.0f;
  for (int row = cv - 2; row <= cv + 2; ++row) {
    if (row < 0 || row >= kGlyphHeight) continue;
    float across = 0.0f;
    for (int k = 0; k < 5; ++k)
      if (on(cu - 2 + k, row)) across += column_weight[k];
    if (across > 0.0f) sum += across * cell_weight(v, row, kSpread);
  }
  return sum;
}

float TextLayout::coverage(float px, float py, float x, float y, float scale, int samples) const {
  // The field changes by less than 1 / (spread x sqrt(2 pi)) per cell, so when the pixel's
  // centre lies clearly inside or outside a letter, so does all of the pixel.
  const float centre = field((px + 0.5f - x) / scale, (py + 0.5f - y) / scale);
  const float reach = 0.75f / (kSpread * 2.5066f * scale);
  if (centre >= kThreshold + reach) return 1.0f;
  if (centre < kThreshold - reach) return 0.0f;
  return supersample(
      [&](float sx, float sy) { return field((sx - x) / scale, (sy - y) / scale) >= kThreshold ? 1.0f : 0.0f; },
      px, py, samples);
}

ValueMap render_text(std::string_view text, int width, int height, float x, float y, float scale) {
  const TextLayout layout(text);
  ValueMap out(width, height, 0.0f);
  const int x0 = std::max(0, static_cast<int>(std::floor(x - scale)));
  const int x1 = std::min(width, static_cast<int>(std::ceil(x + (layout.width_cells() + 1) * scale)));
  const int y0 = std::max(0, static_cast<int>(std::floor(y - scale)));
  const int y1 = std::min(height, static_cast<int>(std::ceil(y + (kGlyphHeight + 1) * scale)));
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px)
      out.at(px, py) = layout.coverage(static_cast<float>(px), static_cast<float>(py), x, y, scale);
  return out;
}

float centred_x(std::string_view text, float centre_x, float scale) {
  return centre_x - TextLayout(text).width_cells() * scale * 0.5f;
}

}  // namespace morvane::standin
