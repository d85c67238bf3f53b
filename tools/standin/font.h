#pragma once
// A small bitmap font (5 x 7 cells, two more rows for descenders) and its smooth rendering at
// any size: the cells are blurred and thresholded, so that large titles get rounded corners and
// joined diagonals instead of visible blocks.
#include <string_view>
#include <vector>

#include "tools/standin/canvas.h"

namespace morvane::standin {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 9;  // rows 0..6 above the baseline, 7..8 descenders
inline constexpr int kGlyphAdvance = 6;

class TextLayout {
 public:
  // Characters without a glyph show as blanks.
  explicit TextLayout(std::string_view text);

  // Size in cells: advance x characters minus the last gap; 7 rows (descenders hang below).
  float width_cells() const;
  static constexpr float kCapHeightCells = 7.0f;

  // Smooth field in [0, 1] at cell coordinates (u, v); 0.5 is the letter edge.
  float field(float u, float v) const;

  // Anti-aliased coverage of the pixel whose corner is (px, py) for text whose top-left corner
  // is at (x, y) with `scale` pixels per cell.
  float coverage(float px, float py, float x, float y, float scale, int samples = 4) const;

 private:
  bool on(int column, int row) const;

  int columns_ = 0;
  std::vector<unsigned char> cells_;  // columns_ x kGlyphHeight
};

// Renders text into a new value map of the given size: each pixel holds its coverage 0..1.
ValueMap render_text(std::string_view text, int width, int height, float x, float y, float scale);

// Left edge that centres text of this scale on the given x.
float centred_x(std::string_view text, float centre_x, float scale);

}  // namespace morvane::standin
