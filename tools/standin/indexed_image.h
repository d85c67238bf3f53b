#pragma once
// An 8-bit picture as the show's loader reads it: palette indices (or plain values for masks and
// light maps), rows top to bottom, and the 256-colour palette every PCX entry carries.
#include <array>
#include <cstdint>
#include <vector>

namespace morvane::standin {

using Palette = std::array<std::uint8_t, 768>;

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  Palette palette{};

  IndexedImage() = default;
  IndexedImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}

  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  void set_colour(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    palette[index * 3] = r;
    palette[index * 3 + 1] = g;
    palette[index * 3 + 2] = b;
  }
};

// Entry i = i x 255 / max_value (capped at 255): a viewer shows a value picture at full contrast.
Palette grey_palette(int max_value);

}  // namespace morvane::standin
